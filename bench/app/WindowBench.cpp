// The window's own costs: start-up to the first shown main window, and a full log drawn in the widgets
// (file open, RenderViews, widget update and an immediate replot of the four charts).
#include <benchmark/benchmark.h>

#include <qcustomplot.h>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "TForm1.h"
#include "ui_TForm1.h"

namespace {

Environment BenchEnvironment(const QTemporaryDir& folder) {
  Environment env;
  env.programFolder = folder.path();
  env.screenSize = {1920, 1080};
  return env;
}

void WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) std::abort();
}

Form1Dialogs SilentDialogs() {
  Form1Dialogs dialogs;
  dialogs.showError = [](QWidget*, const QString& text) { qFatal("%s", qPrintable(text)); };
  dialogs.showWarning = dialogs.showError;
  return dialogs;
}

void StartUpToFirstShownWindow(benchmark::State& state) {
  QTemporaryDir folder;
  WriteFile(folder.filePath(QStringLiteral("cfg.ini")), "ip1=127.0.0.1\r\nDecimalSeparator=.\r\n");
  for (auto _ : state) {
    TForm1 form(BenchEnvironment(folder), SilentDialogs());
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("window not shown");
  }
}
BENCHMARK(StartUpToFirstShownWindow)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

// A particulate log of 6144 lines: sixteen values a line, the widest layout.
QByteArray ParticulateLog(int lines) {
  QByteArray text;
  for (int i = 0; i < lines; ++i) {
    text += "2024;03;" + QByteArray::number(1 + i / 144).rightJustified(2, '0') + ";" +
            QByteArray::number(i / 6 % 24).rightJustified(2, '0') + ";" +
            QByteArray::number(i % 6 * 10).rightJustified(2, '0') + ";";
    for (int v = 0; v < 16; ++v) text += QByteArray::number(10 + (i * 7 + v * 13) % 400 / 10.0) + ";";
    text += "\r\n";
  }
  return text;
}

void OpenRenderAndReplotParticulateLog(benchmark::State& state) {
  QTemporaryDir folder;
  WriteFile(folder.filePath(QStringLiteral("cfg.ini")), "DecimalSeparator=.\r\n");
  const QString path = folder.filePath(QStringLiteral("24.03.01 00.00 VALD_EMERALD.csv"));
  WriteFile(path, ParticulateLog(int(state.range(0))));
  Form1Dialogs dialogs = SilentDialogs();
  dialogs.chooseOpenFile = [path](QWidget*) { return path; };
  TForm1 form(BenchEnvironment(folder), dialogs);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("window not shown");
  for (auto _ : state) {
    form.Open1Click();
    for (QCustomPlot* chart : {form.Controls().Chart_T, form.Controls().Chart_H, form.Controls().Chart_C,
                               form.Controls().Chart_V}) {
      chart->replot(QCustomPlot::rpImmediateRefresh);
    }
  }
}
BENCHMARK(OpenRenderAndReplotParticulateLog)->Arg(1293)->Arg(6144)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
