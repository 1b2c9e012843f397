#include "ArchiveCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "ImportedLines.h"
#include "archive/ArchiveSchema.h"
#include "archive/ArchivedLine.h"
#include "archive/SiteTime.h"
#include "core/BoundedFile.h"
#include "core/NumberReading.h"
#include "core/OutputFile.h"
#include "core/TextLines.h"
#include "core/ValdError.h"
#include "decode/DeviceCatalogue.h"
#include "export/ArchivedPeriod.h"
#include "export/ExportFormats.h"
#include "export/ExportWriter.h"
#include "export/RecordsDigest.h"
#include "export/StatisticsTable.h"
#include "files/MeasurementFile.h"
#include "files/TypeDetection.h"
#include "report/MeasurementReport.h"
#include "report/ReportSeal.h"
#include "watch/AlarmRuns.h"
#include "watch/DailyStatistics.h"
#include "watch/LimitRules.h"

namespace {

int List(ArchiveStore& store, QTextStream& out) {
  const QList<ArchivedDevice> devices = store.Devices();
  out << "device\ttype\trecords\tfirst\tlast\tlast readout\tlast address\n";
  for (const ArchivedDevice& device : devices) {
    out << device.key << '\t' << device.deviceType << '\t' << device.records << '\t' << device.firstTime
        << '\t' << device.lastTime << '\t' << device.lastReadout << '\t' << device.lastAddress << '\n';
  }
  return ExitSuccess;
}

// A measurement file is handed to its file in pieces of about this size.
constexpr qsizetype ExportPieceBytes = 256 * 1024;

// Without --out the file takes the automatic name of its last record's time, so that "Megnyitás"
// knows its device type.
QString ExportFileName(const ArchivedDevice& device, const ArchivedLine& last) {
  const QDateTime time = QDateTime::fromString(QString::fromLatin1(SqlTimeOfSeconds(last.time)),
                                               QStringLiteral("yyyy-MM-dd hh:mm:ss"));
  return AutomaticFileName(time.isValid() ? time : QDateTime::currentDateTime(), device.deviceCode);
}

// The period of --from and --to, which the command line checked, as SQL time texts (empty: unbounded).
std::pair<QByteArray, QByteArray> PeriodOf(const ArchiveCommand& command) {
  return {command.from.isEmpty() ? QByteArray() : ArchiveTimeFromText(command.from, false).value_or(""),
          command.to.isEmpty() ? QByteArray() : ArchiveTimeFromText(command.to, true).value_or("")};
}

// Writes the device's records of the period onto `device` in `format` as they are read; how many.
qint64 WriteArchivedExport(ArchiveStore& store, const ArchivedDevice& device, const QByteArray& from,
                           const QByteArray& to, ExportFormat format, QIODevice& output, const QString& name,
                           qint64 count, bool byteOrderMark) {
  qint64 written = 0;
  if (format == ExportFormat::File) {
    QByteArray piece;
    const auto put = [&] {
      if (output.write(piece) != piece.size())
        throw ValdError(QStringLiteral("Cannot write %1: %2").arg(name, output.errorString()));
      piece.clear();
    };
    store.EachRecordInTimeOrder(device.id, from, to, [&](ArchivedLine& record) {
      piece.append(record.line).append("\r\n", 2);
      ++written;
      if (piece.size() >= ExportPieceBytes) put();
    });
    put();
    return written;
  }
  const ExportTable heading = ExportHeadingOf(device);
  ExportWriter writer(format, heading, output, name, count, byteOrderMark);
  store.EachRecordInTimeOrder(device.id, from, to, [&](ArchivedLine& record) {
    writer.Add(ExportRowOf(heading, record));
    ++written;
  });
  writer.Finish();
  return written;
}

int Export(ArchiveStore& store, const ArchiveCommand& command, QTextStream& out, QTextStream& err) {
  const ExportFormat format =
      ExportFormatNamed(command.format.isEmpty() ? QStringLiteral("file") : command.format)
          .value_or(ExportFormat::File);
  const auto [from, to] = PeriodOf(command);
  const std::optional<ArchivedDevice> device = store.FindDevice(command.arguments[0]);
  if (!device) {
    err << "No device \"" << command.arguments[0] << "\" in the archive (see vald_archive list)\n";
    return ExitFailure;
  }
  // Counted first: nothing is written for a period without records, and a workbook lays out its
  // sheets for them. The records then stream through, never held whole.
  const qint64 count = store.RecordCount(device->id, from, to);
  if (count == 0) {
    err << "No records of " << device->key << " in that period\n";
    return ExitFailure;
  }
  if (format != ExportFormat::File && command.out.isEmpty()) {
    out.flush();
    QFile standardOutput;
    if (!standardOutput.open(stdout, QIODevice::WriteOnly)) {
      err << "Cannot write the export to standard output\n";
      return ExitFailure;
    }
    WriteArchivedExport(store, *device, from, to, format, standardOutput, QStringLiteral("standard output"),
                        count, command.byteOrderMark);
    return ExitSuccess;
  }
  QString path = command.out;
  if (path.isEmpty()) {
    const std::optional<ArchivedLine> last = store.LastRecord(device->id, from, to);
    if (!last) throw ValdError(QStringLiteral("No records of %1 in that period").arg(device->key));
    path = ExportFileName(*device, *last);
  }
  OutputFile file(path);
  if (!file.Open()) throw ValdError(QStringLiteral("Cannot write %1: %2").arg(path, file.ErrorString()));
  const qint64 written = WriteArchivedExport(store, *device, from, to, format, file.Device(), path, count,
                                             command.byteOrderMark);
  if (!file.Commit()) throw ValdError(QStringLiteral("Cannot write %1: %2").arg(path, file.ErrorString()));
  out << path << ": " << written << " records";
  if (const int sheets = XlsxSheetsFor(written); format == ExportFormat::Xlsx && sheets > 1)
    out << " on " << sheets << " sheets of at most " << XlsxRowsPerSheet << " records";
  out << "\n";
  return ExitSuccess;
}

// Lines an import hands to the archive at a time: a file of millions of lines is never held whole.
constexpr int ImportBatchLines = 100000;

// Why the measurement file at `path` cannot be imported whole; empty when it can.
QString ImportRefusal(const QString& path) {
  ImportedLines lines(path);
  while (lines.Next()) {
  }
  return lines.Error();
}

// Whether an imported line is a record of `type`: no NUL byte, five time columns, as many value columns
// as the type has, each "--" or a number ("." or ","); an event device's name after its code is no column.
bool IsRecordOf(const QByteArray& line, const DeviceType& type) {
  if (line.contains('\0')) return false;
  int column = 0;
  for (qsizetype start = 0, end; (end = line.indexOf(';', start)) >= 0; start = end + 1, ++column) {
    const QByteArrayView text(line.constData() + start, end - start);
    if (column >= 5 && text == "--") continue;
    if (!ReadDecimalNumber(text, '.') && !ReadDecimalNumber(text, ',')) return false;
  }
  return column == 5 + type.ValueColumns();
}

// "4, 7-9": line numbers, runs joined.
QString LineNumbers(const QList<int>& lines) {
  QStringList parts;
  for (qsizetype i = 0; i < lines.size();) {
    qsizetype last = i;
    while (last + 1 < lines.size() && lines[last + 1] == lines[last] + 1) ++last;
    parts << (last == i ? QString::number(lines[i]) : QStringLiteral("%1-%2").arg(lines[i]).arg(lines[last]));
    i = last + 1;
  }
  return parts.join(QStringLiteral(", "));
}

int Import(ArchiveStore& store, const ArchiveCommand& command, QTextStream& out, QTextStream& err) {
  int status = ExitSuccess;
  for (const QString& path : command.arguments) {
    const std::optional<DeviceType> type = LookUpDeviceType(DetectDeviceCode(path, 0));
    if (!type) {
      err << path << ": No device (the file name names no device type)\n";
      status = ExitFailure;
      continue;
    }
    const std::optional<ArchivedDevice> known = store.FindDevice(command.device);
    if (known && known->deviceType != QString::fromLatin1(type->name) && !command.force) {
      err << path << ": a " << type->name << " file, but " << command.device << " is a " << known->deviceType
          << " (--force imports it all the same)\n";
      status = ExitFailure;
      continue;
    }
    ArchiveReadout readout;
    readout.device.key = command.device;
    readout.device.deviceCode = type->code;
    readout.device.deviceType = QString::fromLatin1(type->name);
    int added = 0;
    int withoutTime = 0;
    QList<int> skipped;
    const auto merge = [&] {
      if (readout.lines.isEmpty()) return;
      const MergeResult result = store.Merge(readout);
      added += result.added;
      withoutTime += result.withoutTime;
      readout.lines.clear();
    };
    // A file that breaks a limit anywhere is refused before any of it is merged: the batches merge
    // one after another.
    if (const QString refused = ImportRefusal(path); !refused.isEmpty()) {
      err << refused << '\n';
      status = ExitFailure;
      continue;
    }
    ImportedLines lines(path);
    int lineCount = 0;
    while (const std::optional<QByteArray> line = lines.Next()) {
      ++lineCount;
      if (!IsRecordOf(*line, *type)) {
        skipped << lineCount;
        continue;
      }
      readout.lines << *line;
      if (readout.lines.size() == ImportBatchLines) merge();
    }
    // The batch in hand stays out of the archive.
    if (!lines.Error().isEmpty()) {
      err << lines.Error() << '\n';
      status = ExitFailure;
      continue;
    }
    merge();
    out << path << ": " << added << " of " << (lineCount - skipped.size()) << " records added";
    if (withoutTime > 0) out << ", " << withoutTime << " lines without a valid time left out";
    if (!skipped.isEmpty()) {
      out << ", " << skipped.size() << " skipped (lines " << LineNumbers(skipped) << ")";
      status = ExitFailure;
    }
    out << '\n';
  }
  return status;
}

// The records of a report's period as the archive holds them now, against the SHA-256 the report keeps.
int CheckReport(ArchiveStore& store, const QString& path, QTextStream& out) {
  const std::optional<ReportSeal> seal = ReadReportSeal(ReadWholeFile(path, MaxReportFileBytes));
  if (!seal) {
    out << path << ": holds no SHA-256 of its records (not a report of vald_archive or the window)\n";
    return ExitFailure;
  }
  if (seal->device.isEmpty()) {
    out << path << ": a report of a log that is not the archive's: it names no archived device\n";
    return ExitFailure;
  }
  const std::optional<QByteArray> from = ArchiveTimeFromText(seal->first, false);
  const std::optional<QByteArray> to = ArchiveTimeFromText(seal->last, false);
  if (!from || !to) {
    out << path << ": a report without records\n";
    return ExitFailure;
  }
  const ArchivedPeriod archived = ReadArchivedPeriod(store, seal->device, *from, *to);
  const RecordsDigest digest = DigestOfRecords(archived.log);
  // What the archive gives for every value the report keeps: a report whose count or period was
  // changed tells of other records, even where their SHA-256 is the same.
  const ReportSeal found{archived.device.key, digest.first ? RecordTimeText(*digest.first) : QString(),
                         digest.last ? RecordTimeText(*digest.last) : QString(), digest.records,
                         digest.sha256};
  out << path << ": " << seal->device << ", " << seal->first << " – " << seal->last << '\n'
      << "  report:  " << seal->sha256 << ", " << seal->records << " records\n"
      << "  archive: " << digest.sha256 << ", " << digest.records << " records\n";
  const auto differs = [&](const char* what, const QString& report, const QString& archive) {
    if (report != archive)
      out << "  " << what << " differs: the report says " << report << ", the archive " << archive << '\n';
  };
  differs("device", seal->device, found.device);
  differs("first record", seal->first, found.first);
  differs("last record", seal->last, found.last);
  differs("record count", QString::number(seal->records), QString::number(found.records));
  if (found == *seal) {
    out << path << ": matches the archive\n";
    return ExitSuccess;
  }
  out << path << ": does not match the archive"
      << (digest.sha256 != seal->sha256 ? ": its records were changed, added or removed" : "") << '\n';
  return ExitFailure;
}

int Check(ArchiveStore& store, const QString& archive, QTextStream& out) {
  const ArchiveCheck check = store.Check();
  if (check.problems.isEmpty()) {
    out << archive << ": sound (" << check.checked << ")\n";
    return ExitSuccess;
  }
  out << archive << ": not sound (" << check.checked << "):\n";
  for (const QString& problem : check.problems) out << "  " << problem << '\n';
  if (check.brokenImages)
    out << "vald_archive repair-images mends the broken images, keeping what their patches allow\n";
  return ExitFailure;
}

int RepairImages(ArchiveStore& store, QTextStream& out) {
  const QList<ImageRepair> repairs = store.RepairImages();
  for (const ImageRepair& repair : repairs) out << repair.deviceKey << ": " << repair.change << '\n';
  if (repairs.isEmpty()) out << "every readout's image is sound: nothing changed\n";
  return ExitSuccess;
}

int Redecode(ArchiveStore& store, QTextStream& out) {
  for (const RedecodeResult& result : store.Redecode()) {
    out << result.deviceKey << ": " << result.readouts << " readouts, " << result.added << " records added, "
        << result.removed << " records removed";
    if (result.undecodable > 0) out << ", " << result.undecodable << " images of an unknown device code";
    out << '\n';
  }
  return ExitSuccess;
}

int Stats(ArchiveStore& store, const ArchiveCommand& command, QTextStream& out) {
  const QString format = command.format.isEmpty() ? QStringLiteral("text") : command.format;
  const auto [from, to] = PeriodOf(command);
  const ArchivedPeriod archived = ReadArchivedPeriod(store, command.arguments[0], from, to);
  if (command.hash) {
    const RecordsDigest digest = DigestOfRecords(archived.log);
    out << digest.sha256 << "  " << digest.records << " records, " << RecordTimeText(*digest.first) << " – "
        << RecordTimeText(*digest.last) << '\n';
    return ExitSuccess;
  }
  const std::vector<DayStatistics> statistics = DailyStatistics(archived.log, *archived.type);
  if (format == QStringLiteral("json")) {
    QJsonArray rows;
    for (const DayStatistics& day : statistics) {
      const Quantity& quantity = QuantityOf(archived.type->columns[size_t(day.column)]);
      rows.append(QJsonObject{
          {QStringLiteral("day"), day.day.toString(QStringLiteral("yyyy-MM-dd"))},
          {QStringLiteral("channel"), day.column + 1},
          {QStringLiteral("quantity"), QString::fromLatin1(quantity.key)},
          {QStringLiteral("unit"), QString::fromUtf8(quantity.unit)},
          {QStringLiteral("count"), day.count},
          {QStringLiteral("minimum"), day.minimum},
          {QStringLiteral("maximum"), day.maximum},
          {QStringLiteral("mean"), day.mean},
          {QStringLiteral("mkt"),
           day.meanKinetic ? QJsonValue(*day.meanKinetic) : QJsonValue(QJsonValue::Null)},
      });
    }
    out << QJsonDocument(rows).toJson(QJsonDocument::Compact) << '\n';
    return ExitSuccess;
  }
  const StatisticsTable table = DailyStatisticsTable(statistics, *archived.type, TableWording::English);
  const QString separator = format == QStringLiteral("csv") ? QStringLiteral(",") : QStringLiteral("\t");
  out << table.header.join(separator) << '\n';
  for (const QStringList& row : table.rows) out << row.join(separator) << '\n';
  return ExitSuccess;
}

// Without --limits, the limits file of vald_read's default: limits.csv beside the archive file.
QString LimitsFileOf(const ArchiveLocation& location, const ArchiveCommand& command) {
  if (!command.limits.isEmpty()) return command.limits;
  const QString folder = location.engine == ArchiveLocation::Engine::SQLite
                             ? QFileInfo(location.path).absolutePath()
                             : QDir::currentPath();
  return QDir(folder).filePath(QString::fromLatin1(LimitsFileName));
}

int Report(ArchiveStore& store, const ArchiveLocation& location, const ArchiveCommand& command,
           QTextStream& out) {
  const auto [from, to] = PeriodOf(command);
  const QString limitsFile = LimitsFileOf(location, command);
  const LimitRules rules = command.limits.isEmpty() ? LoadLimitRules(limitsFile) : ReadLimitsFile(limitsFile);
  const ArchivedPeriod archived = ReadArchivedPeriod(store, command.arguments[0], from, to);
  ReportSubject subject;
  subject.type = archived.type;
  // Imported files name their device by its MAC address only in the key; "address/code" is no MAC.
  const ArchivedDevice& device = archived.device;
  subject.mac = device.mac.isEmpty() && !device.key.contains(QLatin1Char('/')) ? device.key : device.mac;
  subject.address = device.lastAddress;
  subject.log = &archived.log;
  subject.limits = rules.LimitsOf({subject.mac, subject.address, QString::fromLatin1(archived.type->name)},
                                  *archived.type);
  subject.archiveKey = device.key;
  subject.made = QDateTime::currentDateTime();
  subject.zone = SiteTimeZone(command.timeZone);
  subject.language =
      command.language == QStringLiteral("en") ? TableWording::English : TableWording::Hungarian;
  WriteMeasurementReport(command.out, subject);
  out << command.out << ": " << archived.log.Count() << " records\n";
  return ExitSuccess;
}

// The archive was brought up to the present schema as it was opened.
int Upgrade(const ArchiveStore& store, const QString& archive, QTextStream& out) {
  if (store.OpenedVersion() == CurrentSchemaVersion) {
    out << archive << ": schema version " << CurrentSchemaVersion << ", up to date\n";
  } else {
    out << archive << ": schema version " << store.OpenedVersion() << " brought up to version "
        << CurrentSchemaVersion << '\n';
  }
  return ExitSuccess;
}

// A reading command opens the archive read-only.
bool IsReadingCommand(const QString& name) {
  return name == QStringLiteral("list") || name == QStringLiteral("export") ||
         name == QStringLiteral("check") || name == QStringLiteral("stats") ||
         name == QStringLiteral("report");
}

}  // namespace

int RunArchiveCommand(const ArchiveLocation& location, const ArchiveCommand& command, QTextStream& out,
                      QTextStream& err) {
  const bool upgrade = command.name == QStringLiteral("upgrade");
  const ArchiveAccess access = upgrade                          ? ArchiveAccess::Upgrade
                               : IsReadingCommand(command.name) ? ArchiveAccess::ReadOnly
                                                                : ArchiveAccess::ReadWrite;
  ArchiveStore store(location, access, SiteTimeZone(command.timeZone));
  // A misspelt path would otherwise read as an empty archive.
  if (!store.HoldsArchive()) {
    err << "no archive at " << location.Describe() << '\n';
    return ExitUsage;
  }
  if (upgrade) return Upgrade(store, location.Describe(), out);
  if (command.name == QStringLiteral("list")) return List(store, out);
  if (command.name == QStringLiteral("export")) return Export(store, command, out, err);
  if (command.name == QStringLiteral("import")) return Import(store, command, out, err);
  if (command.name == QStringLiteral("redecode")) return Redecode(store, out);
  if (command.name == QStringLiteral("check"))
    return command.report.isEmpty() ? Check(store, location.Describe(), out)
                                    : CheckReport(store, command.report, out);
  if (command.name == QStringLiteral("stats")) return Stats(store, command, out);
  if (command.name == QStringLiteral("report")) return Report(store, location, command, out);
  if (command.name == QStringLiteral("repair-images")) return RepairImages(store, out);
  err << "Unknown command \"" << command.name << "\"\n";
  return ExitUsage;
}
