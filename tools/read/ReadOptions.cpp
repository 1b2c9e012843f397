#include "ReadOptions.h"

#include <QCommandLineParser>

#include "core/Win1250.h"

namespace {

const QString TimeFormat = QStringLiteral("yyyy-MM-dd hh:mm");

}  // namespace

QString ReadUsage() {
  return QStringLiteral(
      "Usage: vald_read [--port N] [--out DIR] [--decimal-separator C] [--time \"yyyy-MM-dd hh:mm\"] "
      "[--archive PATH|URL|off] HOST...\n"
      "\n"
      "Reads the whole log of the device at each HOST, one device after another, exactly as the\n"
      "\"Lekérdezés\" button does, and writes its measurement file \"yy.mm.dd hh.nn VALD_<type>.csv\"\n"
      "into DIR, then merges the log into the archive.\n"
      "\n"
      "Options:\n"
      "  --port N                    UDP port of the devices (default 6262)\n"
      "  --out DIR                   folder of the measurement files (default: the current folder)\n"
      "  --decimal-separator C       decimal separator of every value in the files\n"
      "                              (default: the one of the system's regional settings)\n"
      "  --time \"yyyy-MM-dd hh:mm\"   local time that names the files, for reproducible names\n"
      "                              (default: the clock when each readout ends)\n"
      "  --archive PATH|URL|off      the archive every log is merged into: an SQLite file, a\n"
      "                              PostgreSQL URL (postgresql://user@host:port/dbname?sslmode=...,\n"
      "                              the password from PGPASSWORD or ~/.pgpass), or off\n"
      "                              (default: archive.sqlite in DIR)\n"
      "  --help                      show this text\n"
      "\n"
      "Progress (\"HOST: block n of N\") goes to standard error. Standard output gets one line per\n"
      "device: the file written, or why the readout failed (\"No device\", a socket error, an\n"
      "incomplete log with the blocks that got no reply, an archive that could not be written).\n"
      "Devices of one type read within the same minute share a file name; the later file replaces the\n"
      "earlier, and its line says so.\n"
      "Exit status: 0 when every device was read completely into a file of its own (and archived),\n"
      "1 otherwise, 2 for a bad command line.\n");
}

ParsedCommandLine ParseReadOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  const QCommandLineOption portOption(QStringLiteral("port"), QString(), QStringLiteral("N"));
  const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("DIR"));
  const QCommandLineOption separatorOption(QStringLiteral("decimal-separator"), QString(),
                                           QStringLiteral("C"));
  const QCommandLineOption timeOption(QStringLiteral("time"), QString(), QStringLiteral("TIME"));
  const QCommandLineOption archiveOption(QStringLiteral("archive"), QString(), QStringLiteral("ARCHIVE"));
  const QCommandLineOption helpOption(QStringLiteral("help"));
  parser.addOptions({portOption, outOption, separatorOption, timeOption, archiveOption, helpOption});
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
  options.archive = parser.value(archiveOption);
  options.hosts = parser.positionalArguments();
  if (options.hosts.isEmpty()) {
    result.error = QStringLiteral("No device address given.");
    return result;
  }
  result.options = options;
  return result;
}
