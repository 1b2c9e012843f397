// vald_screenshot: opens the main window over a scratch program folder, optionally reads one device
// with the first "Lekérdezés" button, shows a chosen page and saves a picture of the window: after the
// readout (its chart optionally zoomed), or while it runs.
#include <qcustomplot.h>
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "TForm1.h"
#include "ui_TForm1.h"

namespace {

// A part of the time axis, as fractions of the whole log.
struct AxisPart {
  double from = 0;
  double to = 1;
};

std::optional<AxisPart> ParseAxisPart(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 2) return std::nullopt;
  bool fromOk = false;
  bool toOk = false;
  const AxisPart part{parts[0].toDouble(&fromOk), parts[1].toDouble(&toOk)};
  if (!fromOk || !toOk || part.from < 0 || part.to > 1 || part.from >= part.to) return std::nullopt;
  return part;
}

// Sets the time axis of the shown page's chart, as a wheel zoom does: the chart view hears the range
// change, keeps it within the log and relabels the axis.
void ZoomShownChart(TForm1& form, AxisPart part) {
  auto* plot = form.Controls().PageControl1->currentWidget()->findChild<QCustomPlot*>();
  if (!plot) return;
  const QCPRange whole = plot->xAxis->range();
  plot->xAxis->setRange(whole.lower + part.from * whole.size(), whole.lower + part.to * whole.size());
  plot->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Saves a picture of the VALD CSV main window."));
  parser.addHelpOption();
  parser.addOption({QStringLiteral("out"), QStringLiteral("PNG file to write."), QStringLiteral("FILE")});
  parser.addOption({QStringLiteral("host"), QStringLiteral("Device to read with the first query button."),
                    QStringLiteral("ADDRESS")});
  parser.addOption({QStringLiteral("port"), QStringLiteral("UDP port of the device (default 6262)."),
                    QStringLiteral("N"), QStringLiteral("6262")});
  parser.addOption({QStringLiteral("page"), QStringLiteral("Page to show, 0 to 5 (default 0)."),
                    QStringLiteral("N"), QStringLiteral("0")});
  parser.addOption({QStringLiteral("setting"),
                    QStringLiteral("A further cfg.ini line KEY=VALUE (repeatable)."),
                    QStringLiteral("LINE")});
  parser.addOption(
      {QStringLiteral("during-block"),
       QStringLiteral("Take the picture while the readout runs, when block N is read, then cancel it."),
       QStringLiteral("N")});
  parser.addOption(
      {QStringLiteral("zoom"),
       QStringLiteral("After the readout, zoom the shown chart's time axis to FROM,TO (fractions "
                      "of the whole log, e.g. 0.4,0.6)."),
       QStringLiteral("FROM,TO")});
  parser.process(application);
  if (!parser.isSet(QStringLiteral("out"))) parser.showHelp(2);
  const int duringBlock = parser.value(QStringLiteral("during-block")).toInt();
  std::optional<AxisPart> zoom;
  if (parser.isSet(QStringLiteral("zoom"))) {
    zoom = ParseAxisPart(parser.value(QStringLiteral("zoom")));
    if (!zoom) {
      std::fprintf(stderr, "--zoom wants FROM,TO with 0 <= FROM < TO <= 1\n");
      return 2;
    }
  }

  QTemporaryDir programFolder;
  // The first line of a key counts: the extra settings come first and win over the defaults below.
  QByteArray cfg;
  for (const QString& line : parser.values(QStringLiteral("setting"))) cfg += line.toLatin1() + "\r\n";
  cfg += "UDPport=" + parser.value(QStringLiteral("port")).toLatin1() +
         "\r\nLeft=0\r\nTop=0\r\nWidth=1399\r\n" +
         "Height=795\r\nip1=" + parser.value(QStringLiteral("host")).toLatin1() +
         "\r\nDecimalSeparator=.\r\nTop1=30\r\nBottom1=10\r\nTop2=80\r\nBottom2=20\r\n"
         "Top3=1600\r\nBottom3=300\r\nTop4=600\r\nBottom4=0\r\n";
  QFile file(programFolder.filePath(QStringLiteral("cfg.ini")));
  if (!file.open(QIODevice::WriteOnly) || file.write(cfg) != cfg.size()) return 1;
  file.close();

  Environment env;
  env.programFolder = programFolder.path();
  env.screenSize = QGuiApplication::primaryScreen()->size();
  Form1Dialogs dialogs = Form1Dialogs::Real();
  dialogs.showError = [](QWidget*, const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
  dialogs.showWarning = dialogs.showError;
  TForm1 form(env, dialogs);
  form.show();
  form.Controls().PageControl1->setCurrentIndex(parser.value(QStringLiteral("page")).toInt());
  bool taken = false;
  bool saved = false;
  const auto save = [&] { return form.grab().save(parser.value(QStringLiteral("out"))); };
  const auto shoot = [&] {
    if (zoom) ZoomShownChart(form, *zoom);
    QTimer::singleShot(500, &form, [&] { QApplication::exit(save() ? 0 : 1); });
  };
  if (!parser.isSet(QStringLiteral("host"))) {
    shoot();
  } else if (duringBlock > 0) {
    QObject::connect(form.Controls().ProgressBar1, &QProgressBar::valueChanged, &form, [&](int blocksRead) {
      if (taken || !form.ReadoutRunning() || blocksRead != duringBlock) return;
      taken = true;
      // The caption and the status panel follow the bar within the same progress step.
      QTimer::singleShot(0, &form, [&] {
        saved = save();
        form.CancelReadout();
      });
    });
    QObject::connect(&form, &TForm1::ReadoutFinished, &form, [&] {
      if (!taken) std::fprintf(stderr, "The readout ended before block %d\n", duringBlock);
      QApplication::exit(saved ? 0 : 1);
    });
    form.QueryButtonClick(0);
  } else {
    QObject::connect(&form, &TForm1::ReadoutFinished, &form, shoot);
    form.QueryButtonClick(0);
  }
  return QApplication::exec();
}
