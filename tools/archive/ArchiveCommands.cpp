#include "ArchiveCommands.h"

#include <QDir>
#include <QFileInfo>

#include "archive/ArchivedLine.h"
#include "core/TextLines.h"
#include "core/ValdError.h"
#include "decode/DeviceCatalogue.h"
#include "files/MeasurementFile.h"
#include "files/TypeDetection.h"

namespace {

int List(ArchiveStore& store, QTextStream& out) {
  out << "device\ttype\trecords\tfirst\tlast\tlast readout\tlast address\n";
  for (const ArchivedDevice& device : store.Devices()) {
    out << device.key << '\t' << device.deviceType << '\t' << device.records << '\t' << device.firstTime
        << '\t' << device.lastTime << '\t' << device.lastReadout << '\t' << device.lastAddress << '\n';
  }
  return ExitSuccess;
}

// Without --out the file takes the automatic name of its last record's time, so that "Megnyitás"
// knows its device type.
QString ExportFileName(const ArchivedDevice& device, const QByteArray& lastLine) {
  const std::optional<ArchivedLine> last = ReadArchivedLine(lastLine, ',');
  const QDateTime time =
      last ? QDateTime::fromString(QString::fromLatin1(last->time), QStringLiteral("yyyy-MM-dd hh:mm:ss"))
           : QDateTime::currentDateTime();
  return AutomaticFileName(time, device.deviceCode);
}

int Export(ArchiveStore& store, const ArchiveCommand& command, QTextStream& out, QTextStream& err) {
  if (command.arguments.size() != 1) {
    err << "export takes one DEVICE\n";
    return ExitUsage;
  }
  const std::optional<QByteArray> from =
      command.from.isEmpty() ? std::optional<QByteArray>("") : ArchiveTimeFromText(command.from, false);
  const std::optional<QByteArray> to =
      command.to.isEmpty() ? std::optional<QByteArray>("") : ArchiveTimeFromText(command.to, true);
  if (!from || !to) {
    err << "Bad time: expected \"yyyy-MM-dd\" or \"yyyy-MM-dd hh:mm\"\n";
    return ExitUsage;
  }
  const std::optional<ArchivedDevice> device = store.FindDevice(command.arguments[0]);
  if (!device) {
    err << "No device \"" << command.arguments[0] << "\" in the archive (see vald_archive list)\n";
    return ExitFailure;
  }
  const QList<QByteArray> lines = store.Lines(device->id, *from, *to);
  if (lines.isEmpty()) {
    err << "No records of " << device->key << " in that period\n";
    return ExitFailure;
  }
  const QString path = command.out.isEmpty() ? ExportFileName(*device, lines.last()) : command.out;
  QByteArray content;
  qsizetype size = 0;
  for (const QByteArray& line : lines) size += line.size() + 2;
  content.reserve(size);
  for (const QByteArray& line : lines) content.append(line).append("\r\n", 2);
  WriteWholeFile(path, content);
  out << path << ": " << lines.size() << " records\n";
  return ExitSuccess;
}

int Import(ArchiveStore& store, const ArchiveCommand& command, QTextStream& out, QTextStream& err) {
  if (command.arguments.isEmpty() || command.device.isEmpty()) {
    err << "import takes --device DEVICE and one or more FILEs\n";
    return ExitUsage;
  }
  int status = ExitSuccess;
  for (const QString& path : command.arguments) {
    const std::optional<DeviceType> type = LookUpDeviceType(DetectDeviceCode(path, 0));
    if (!type) {
      err << path << ": No device (the file name names no device type)\n";
      status = ExitFailure;
      continue;
    }
    TextLines lines;
    try {
      lines.SetText(ReadWholeFile(path));
    } catch (const ValdError& error) {
      err << error.Message() << '\n';
      status = ExitFailure;
      continue;
    }
    ArchiveReadout readout;
    readout.device.key = command.device;
    readout.device.deviceCode = type->code;
    readout.device.deviceType = QString::fromLatin1(type->name);
    readout.lines = lines.Lines();
    // Values were written with either separator; a point reads as a point either way.
    readout.decimalSeparator = ',';
    const MergeResult result = store.Merge(readout);
    out << path << ": " << result.added << " of " << lines.Count() << " records added";
    if (result.withoutTime > 0) out << ", " << result.withoutTime << " lines without a valid time left out";
    out << '\n';
  }
  return status;
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

}  // namespace

int RunArchiveCommand(ArchiveStore& store, const ArchiveCommand& command, QTextStream& out,
                      QTextStream& err) {
  if (command.name == QStringLiteral("list")) return List(store, out);
  if (command.name == QStringLiteral("export")) return Export(store, command, out, err);
  if (command.name == QStringLiteral("import")) return Import(store, command, out, err);
  if (command.name == QStringLiteral("redecode")) return Redecode(store, out);
  err << "Unknown command \"" << command.name << "\"\n";
  return ExitUsage;
}
