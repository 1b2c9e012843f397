#include "ReadOptions.h"

#include <QCommandLineParser>

#include "core/Win1250.h"

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd hh:mm");

}  // namespace

QString ReadUsage() {
  return QStringLiteral(
      "Usage: vald_read [--port N] [--out DIR] [--decimal-separator C] [--time \"yyyy-MM-dd hh:mm\"]\n"
      "                 [--jobs N] [--hosts FILE] [--config CFG.INI] [--json] [HOST[:PORT]...]\n"
      "\n"
      "Reads the whole log of the device at each HOST, several devices at once, exactly as the\n"
      "\"Lekérdezés\" button does, and writes its measurement file \"yy.mm.dd hh.nn VALD_<type>.csv\"\n"
      "into DIR. When more than one device is read, each one's file goes into DIR/HOST/ (DIR/HOST_PORT/\n"
      "for an entry with its own port), so devices of one type keep a file each.\n"
      "\n"
      "Options:\n"
      "  --port N                    UDP port of the devices without a port of their own (default 6262)\n"
      "  --out DIR                   folder of the measurement files (default: the current folder)\n"
      "  --decimal-separator C       decimal separator of every value in the files\n"
      "                              (default: the one of the system's regional settings)\n"
      "  --time \"yyyy-MM-dd hh:mm\"   local time that names the files, for reproducible names\n"
      "                              (default: the clock when each readout ends)\n"
      "  --jobs N                    devices read at once, each with its own socket (default 8)\n"
      "  --hosts FILE                read the hosts listed in FILE too: one HOST or HOST:PORT a line,\n"
      "                              \"#\" starts a comment, blank lines are passed over\n"
      "  --config CFG.INI            read the addresses ip1..ip5 of a cfg.ini too, on its UDPport\n"
      "  --json                      one JSON object per device instead of the result line\n"
      "  --help                      show this text\n"
      "\n"
      "A host names a folder, so it holds no blank and no path separator. A malformed host, hosts file\n"
      "line or cfg.ini address stops the run before any device is read.\n"
      "\n"
      "Progress (\"HOST: block n of N\") goes to standard error. Standard output gets one line per\n"
      "device, in the order the hosts were given: the file written, or why the readout failed (\"No\n"
      "device\", a socket error, an incomplete log with the blocks that got no reply). With --json the\n"
      "line is an object with host, deviceType, mac, blocksRead, missingBlocks, records,\n"
      "newRecordsArchived, file, error and seconds.\n"
      "Exit status: 0 when every device was read completely into its file, 1 otherwise, 2 for a bad\n"
      "command line, hosts file or cfg.ini.\n");
}

ParsedCommandLine ParseReadOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption portOption(QStringLiteral("port"), QString(), QStringLiteral("N"));
  const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("DIR"));
  const QCommandLineOption separatorOption(QStringLiteral("decimal-separator"), QString(),
                                           QStringLiteral("C"));
  const QCommandLineOption timeOption(QStringLiteral("time"), QString(), QStringLiteral("TIME"));
  const QCommandLineOption jobsOption(QStringLiteral("jobs"), QString(), QStringLiteral("N"));
  const QCommandLineOption hostsOption(QStringLiteral("hosts"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption configOption(QStringLiteral("config"), QString(), QStringLiteral("CFG.INI"));
  const QCommandLineOption jsonOption(QStringLiteral("json"));
  const QCommandLineOption helpOption(QStringLiteral("help"));
  parser.addOptions({portOption, outOption, separatorOption, timeOption, jobsOption, hostsOption,
                     configOption, jsonOption, helpOption});
  parser.addPositionalArgument(QStringLiteral("HOST"), QString(), QStringLiteral("HOST..."));

  ParsedCommandLine result;
  if (!parser.parse(arguments)) {
    result.error = parser.errorText();
    return result;
  }
  if (parser.isSet(helpOption)) {
    result.helpRequested = true;
    return result;
  }

  ReadOptions options;
  if (parser.isSet(portOption)) {
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port == 0 || port > 65535) {
      result.error =
          QStringLiteral("Bad port \"%1\": expected a number from 1 to 65535.").arg(parser.value(portOption));
      return result;
    }
    options.port = uint16_t(port);
  }
  options.outFolder = parser.value(outOption);
  if (parser.isSet(separatorOption)) {
    const QString separator = parser.value(separatorOption);
    const QByteArray bytes = ToWin1250(separator);
    if (separator.size() != 1 || FromWin1250(bytes) != separator) {
      result.error =
          QStringLiteral(
              "Bad decimal separator \"%1\": expected one character of the Central European code page.")
              .arg(separator);
      return result;
    }
    options.decimalSeparator = bytes[0];
  }
  if (parser.isSet(timeOption)) {
    const QDateTime time = QDateTime::fromString(parser.value(timeOption), TimeFormat);
    if (!time.isValid()) {
      result.error =
          QStringLiteral("Bad time \"%1\": expected \"%2\".").arg(parser.value(timeOption), TimeFormat);
      return result;
    }
    options.fileNameTime = time;
  }
  if (parser.isSet(jobsOption)) {
    bool ok = false;
    const int jobs = parser.value(jobsOption).toInt(&ok);
    if (!ok || jobs < 1 || jobs > ReadOptions::MaxJobs) {
      result.error = QStringLiteral("Bad number of jobs \"%1\": expected a number from 1 to %2.")
                         .arg(parser.value(jobsOption))
                         .arg(ReadOptions::MaxJobs);
      return result;
    }
    options.jobs = jobs;
  }
  options.json = parser.isSet(jsonOption);
  options.hosts = parser.positionalArguments();
  options.hostsFiles = parser.values(hostsOption);
  options.configFiles = parser.values(configOption);
  if (options.hosts.isEmpty() && options.hostsFiles.isEmpty() && options.configFiles.isEmpty()) {
    result.error = QStringLiteral("No device address given.");
    return result;
  }
  result.options = options;
  return result;
}
