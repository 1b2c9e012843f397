// vald_read: the headless front end over the same core as the main window. It reads the whole log of
// one or more devices, one after another, and writes each one's automatic measurement file.

#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

#include "app/ValdError.h"
#include "app/Win1250.h"
#include "decode/LogReadout.h"
#include "tools/read/ReadOptions.h"

namespace {

constexpr int ExitComplete = 0;
constexpr int ExitIncomplete = 1;
constexpr int ExitUsage = 2;

// "3, 7-95": the unanswered blocks, runs of consecutive numbers joined.
QString BlockList(const QList<int>& blocks) {
  QStringList parts;
  for (qsizetype i = 0; i < blocks.size();) {
    qsizetype last = i;
    while (last + 1 < blocks.size() && blocks[last + 1] == blocks[last] + 1) ++last;
    parts.append(last == i ? QString::number(blocks[i])
                           : QStringLiteral("%1-%2").arg(blocks[i]).arg(blocks[last]));
    i = last + 1;
  }
  return parts.join(QStringLiteral(", "));
}

char SystemDecimalSeparator() {
  const QByteArray point = ToWin1250(QLocale::system().decimalPoint());
  return point.size() == 1 ? point[0] : '.';
}

// Reads one device into a fresh state, as one "Lekérdezés" does, and returns the line that reports it.
// `complete` tells whether the whole log arrived and the file was written.
QString ReadOneDevice(const ReadOptions& options, const Environment& env, const QString& host,
                      bool& complete) {
  SharedState state;
  state.DecimalSeparatorText = QByteArray(1, env.systemDecimalSeparator);
  if (options.decimalSeparator) state.DecimalSeparatorText = QByteArray(1, *options.decimalSeparator);
  WindowModel view;
  DeviceLink link;
  link.port = options.port;
  QTextStream progress(stderr);
  complete = false;
  try {
    const ReadoutReport report = ReadDeviceLog(state, view, link, env, host, [&](int block, int blockCount) {
      progress << host << ": block " << block + 1 << " of " << blockCount << Qt::endl;
    });
    if (!report.deviceFound) return FromWin1250(view.labelDevice);
    if (!report.blocksWithoutReply.isEmpty()) {
      return QStringLiteral("%1 (incomplete log: no reply for blocks %2)")
          .arg(report.measurementFile, BlockList(report.blocksWithoutReply));
    }
    complete = true;
    return report.measurementFile;
  } catch (const ValdError& error) {
    return error.Message();
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const ParsedCommandLine commandLine = ParseReadOptions(app.arguments());
  if (commandLine.helpRequested) {
    out << ReadUsage();
    return ExitComplete;
  }
  if (!commandLine.options) {
    err << commandLine.error << "\n\n" << ReadUsage();
    return ExitUsage;
  }
  const ReadOptions& options = *commandLine.options;

  Environment env;
  env.programFolder = options.outFolder;
  env.systemDecimalSeparator = options.decimalSeparator.value_or(SystemDecimalSeparator());
  if (options.fileNameTime) env.now = [time = *options.fileNameTime] { return time; };

  int status = ExitComplete;
  for (const QString& host : options.hosts) {
    bool complete = false;
    const QString line = ReadOneDevice(options, env, host, complete);
    out << host << ": " << line << Qt::endl;
    if (!complete) status = ExitIncomplete;
  }
  return status;
}
