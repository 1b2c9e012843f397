// vald_archive: lists, exports, imports and decodes again what the measurement archive holds.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <memory>

#include "ArchiveCommands.h"
#include "archive/ArchiveLocation.h"
#include "core/RuntimeFolder.h"
#include "core/StandardOutput.h"
#include "core/UsageError.h"
#include "core/ValdError.h"
#include "translations/Translation.h"

namespace {

const QStringList Commands = {QStringLiteral("list"),     QStringLiteral("export"), QStringLiteral("import"),
                              QStringLiteral("redecode"), QStringLiteral("check"),  QStringLiteral("stats"),
                              QStringLiteral("report"),   QStringLiteral("upgrade")};

QString Usage() {
  return QStringLiteral(
      "Usage: vald_archive [--archive PATH|URL] COMMAND ...\n"
      "\n"
      "  list                        the devices: type, records, first and last time, last readout\n"
      "  export DEVICE [--from T] [--to T] [--format F] [--bom] [--out FILE]\n"
      "                              the device's records in time order; T is the device's local\n"
      "                              \"yyyy-MM-dd\" or \"yyyy-MM-dd hh:mm\", both ends included; csv,\n"
      "                              csv-excel, json and influx go to standard output without --out.\n"
      "                              F is one of:\n"
      "    file                      a measurement file (as \"Megnyitás\" reads it), the default;\n"
      "                              without --out named \"yy.mm.dd hh.nn VALD_<type>.csv\" after\n"
      "                              the last record\n"
      "    csv                       RFC 4180, UTF-8: a header row of the channels' labels and\n"
      "                              units, ISO 8601 times with offset, \".\" decimals; with --bom\n"
      "                              UTF-8's byte order mark first, by which spreadsheets know the\n"
      "                              text is UTF-8\n"
      "    csv-excel                 for a spreadsheet set to Hungarian or German (the decimal\n"
      "                              comma), which opens it without the import dialog: \";\"\n"
      "                              between fields, \",\" decimals, local times as\n"
      "                              \"yyyy-mm-dd hh:mm\", UTF-8 with the byte order mark\n"
      "    json                      JSON lines: time, device, type, <quantity>_<n>...\n"
      "    influx                    InfluxDB line protocol, measurement \"vald\"\n"
      "    xlsx                      a workbook with dates and numbers (needs --out)\n"
      "  import --device DEVICE FILE...\n"
      "                              adds measurement files to the device; the type comes from the\n"
      "                              file name\n"
      "  redecode                    decodes the kept raw readouts again and reports what changed\n"
      "  check                       whether the archive is sound: its tables all there, then the\n"
      "                              database's own check, SQLite's integrity check of every page,\n"
      "                              table and index; on PostgreSQL every row of every table read\n"
      "                              through (its indexes are checked only by an extension)\n"
      "  check --report FILE.pdf     whether the archive still holds the records a report was made\n"
      "                              from: the SHA-256 of the device's records of the report's period\n"
      "                              against the one the report keeps\n"
      "  stats DEVICE [--from T] [--to T] [--format text|csv|json]\n"
      "                              per day and channel the count, minimum, maximum, mean and, for\n"
      "                              temperatures, the mean kinetic temperature (activation energy over\n"
      "                              the gas constant 10 000 K, 83.144 kJ/mol); values in their\n"
      "                              quantity's unit\n"
      "  stats DEVICE [--from T] [--to T] --hash\n"
      "                              the SHA-256 of the records, as a report of them keeps it: of one\n"
      "                              line per record in time order, \"yyyy-MM-dd hh:mm;VALUE;...\", each\n"
      "                              value as logged (\".\" before its decimals, \"--\" for a missing\n"
      "                              one, \"?\" for one that is no number), \"\\n\" after each line\n"
      "  report DEVICE [--from T] [--to T] [--limits FILE] [--lang hu|en] --out FILE.pdf\n"
      "                              an A4 PDF report, in Hungarian (the default) or English: the\n"
      "                              device, the period and its time zone, the limits, a chart per\n"
      "                              quantity, each channel's statistics and time beyond its limits,\n"
      "                              the daily statistics, the excursions beyond a limit, a verdict,\n"
      "                              a signature block and the records' SHA-256; the limits from FILE,\n"
      "                              by default limits.csv beside the archive when it is there\n"
      "  upgrade                     brings an archive of an older version up to the present schema,\n"
      "                              every record and raw readout kept (a readout or import does the\n"
      "                              same; the reading commands refuse an older archive)\n"
      "\n"
      "DEVICE is a MAC address, or \"address/device code\" for a device that did not tell its MAC,\n"
      "as list shows it.\n"
      "list, export, check, stats and report only read: they open the archive read-only, so they work\n"
      "on a file or folder that takes no changes. They, and upgrade, make no archive: where there is\n"
      "none they say \"no archive at PATH\"; a file that is no archive they call \"not an archive\".\n"
      "\n"
      "Options:\n"
      "  --archive PATH|URL          the archive: an SQLite file (default: archive.sqlite in the current\n"
      "                              folder) or postgresql://user@host:port/dbname?sslmode=...\n"
      "                              (the password from PGPASSWORD or ~/.pgpass)\n"
      "  --time-zone ZONE            the devices' time zone, which gives the UTC times of records\n"
      "                              imported, decoded again or carried over from an older archive\n"
      "                              (default: the system's)\n"
      "  --help                      show this text\n"
      "  --version                   show the version\n"
      "\n"
      "Exit status: 0 on success, 1 when a command failed (a query that ends in an error fails, it\n"
      "never gives part of the answer) or check found the archive not sound, 2 for a bad command line\n"
      "or no archive at the path or URL given.\n");
}

}  // namespace

int main(int argc, char** argv) {
  // The report draws text, for which Qt needs its GUI application: on the offscreen platform unless
  // another is asked for, as no screen is needed.
  const bool drawing =
      std::any_of(argv + 1, argv + argc, [](const char* arg) { return qstrcmp(arg, "report") == 0; });
  if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (drawing) PrepareRuntimeFolder();
  const std::unique_ptr<QCoreApplication> application = drawing
                                                            ? std::make_unique<QGuiApplication>(argc, argv)
                                                            : std::make_unique<QCoreApplication>(argc, argv);
  QCoreApplication& app = *application;
  InstallEnglish(app);
  QTextStream out(stdout);
  QTextStream err(stderr);
  QCommandLineParser parser;
  const QCommandLineOption archiveOption(QStringLiteral("archive"), QString(), QStringLiteral("PATH"));
  const QCommandLineOption deviceOption(QStringLiteral("device"), QString(), QStringLiteral("DEVICE"));
  const QCommandLineOption forceOption(QStringLiteral("force"));
  const QCommandLineOption fromOption(QStringLiteral("from"), QString(), QStringLiteral("T"));
  const QCommandLineOption toOption(QStringLiteral("to"), QString(), QStringLiteral("T"));
  const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption formatOption(QStringLiteral("format"), QString(), QStringLiteral("FORMAT"));
  const QCommandLineOption bomOption(QStringLiteral("bom"));
  const QCommandLineOption limitsOption(QStringLiteral("limits"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption timeZoneOption(QStringLiteral("time-zone"), QString(), QStringLiteral("ZONE"));
  const QCommandLineOption languageOption(QStringLiteral("lang"), QString(), QStringLiteral("LANGUAGE"));
  const QCommandLineOption hashOption(QStringLiteral("hash"));
  const QCommandLineOption reportOption(QStringLiteral("report"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption helpOption(QStringLiteral("help"));
  const QCommandLineOption versionOption(QStringLiteral("version"));
  parser.addOptions({archiveOption, deviceOption, forceOption, fromOption, toOption, outOption, formatOption,
                     bomOption, limitsOption, timeZoneOption, languageOption, hashOption, reportOption,
                     helpOption, versionOption});
  if (!parser.parse(app.arguments())) {
    err << UsageErrorLine(QStringLiteral("vald_archive"), parser.errorText()) << Qt::endl;
    return ExitUsage;
  }
  if (parser.isSet(helpOption)) {
    out << Usage();
    return ExitSuccess;
  }
  if (parser.isSet(versionOption)) {
    out << "vald_archive " << VALD_VERSION << Qt::endl;
    return ExitSuccess;
  }
  QStringList positional = parser.positionalArguments();
  if (positional.isEmpty() || !Commands.contains(positional.first())) {
    err << UsageErrorLine(QStringLiteral("vald_archive"),
                          positional.isEmpty()
                              ? QStringLiteral("No command given")
                              : QStringLiteral("Unknown command \"%1\"").arg(positional.first()))
        << Qt::endl;
    return ExitUsage;
  }
  ArchiveCommand command;
  command.name = positional.takeFirst();
  command.arguments = positional;
  command.device = parser.value(deviceOption);
  command.force = parser.isSet(forceOption);
  command.from = parser.value(fromOption);
  command.to = parser.value(toOption);
  command.out = parser.value(outOption);
  command.format = parser.value(formatOption);
  command.byteOrderMark = parser.isSet(bomOption);
  command.limits = parser.value(limitsOption);
  command.timeZone = parser.value(timeZoneOption);
  command.language = parser.value(languageOption);
  command.hash = parser.isSet(hashOption);
  command.report = parser.value(reportOption);
  try {
    const ArchiveLocation location =
        ParseArchiveLocation(parser.isSet(archiveOption) ? parser.value(archiveOption)
                                                         : QString::fromLatin1(DefaultArchiveFileName),
                             QString());
    if (location.IsOff()) {
      err << "No archive to work on (--archive off).\n";
      return ExitUsage;
    }
    const int status = RunArchiveCommand(location, command, out, err);
    if (!StandardOutputComplete(out)) {
      err << "Cannot write to standard output.\n";
      return ExitFailure;
    }
    return status;
  } catch (const ValdError& error) {
    out.flush();
    err << error.Message() << '\n';
    return ExitFailure;
  }
}
