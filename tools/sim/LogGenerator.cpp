#include "tools/sim/LogGenerator.h"

#include <QList>
#include <array>
#include <random>
#include <vector>

#include "decode/DeviceCatalogue.h"
#include "tools/sim/ChannelQuantities.h"
#include "tools/sim/FieldEncoder.h"

namespace {

constexpr std::array<int, 7> BellEventCodes = {0, 4, 5, 10, 15, 20, 25};

// Generates records one after the other in time order; contact states carry over between records.
class RecordWriter {
 public:
  RecordWriter(const SimulatorConfig& config, const DeviceType& type)
      : config_(config), type_(type), random_(config.seed), contacts_(FieldCount(), 0) {}

  int FieldCount() const { return (type_.recordLength - 6) / 2; }

  // Record number k of the log's time line, written with the given kind byte.
  QByteArray Record(int k, char kind) {
    const QDateTime when = config_.start.addSecs(qint64(k) * config_.intervalMinutes * 60);
    const QDate date = when.date();
    const QTime time = when.time();
    QByteArray record;
    record.reserve(type_.recordLength);
    record.append(kind);
    for (int part : {date.year() - 2000, date.month(), date.day(), time.hour(), time.minute()}) {
      record.append(char(part));
    }
    const int fields = FieldCount();
    std::vector<double> readings;
    for (int f = 0; f < fields; ++f) readings.push_back(Reading(f, when));
    PowerOfVoltageAndCurrent(type_, readings);
    const bool hasMissing = config_.missingEveryN > 0 && (k + 1) % config_.missingEveryN == 0;
    for (int f = 0; f < fields; ++f) {
      std::optional<double> value = readings[size_t(f)];
      if (hasMissing && f == k % fields) value.reset();
      const auto bytes = EncodeField(type_.fieldType, IsLateField(f, fields), value);
      record.append(char(bytes[0]));
      record.append(char(bytes[1]));
    }
    return record;
  }

 private:
  double Reading(int field, const QDateTime& when) {
    const char quantity = FieldQuantity(type_, field);
    switch (quantity) {
      case 'K':  // a contact changes state now and then
        if (random_() % 12 == 0) contacts_[field] ^= 1;
        return contacts_[field];
      case 'R':
        return double((random_() % 4) * 256 + random_() % 4);
      case 'B':
        return BellEventCodes[random_() % BellEventCodes.size()];
      default:
        return QuantityReading(quantity, field, when, random_);
    }
  }

  const SimulatorConfig& config_;
  DeviceType type_;
  std::mt19937 random_;
  QList<int> contacts_;
};

// An end record: its kind byte, the rest erased.
QByteArray EndRecord(char kind, int recordLength) {
  return kind + QByteArray(recordLength - 1, char(0xFF));
}

}  // namespace

QByteArray GenerateLog(const SimulatorConfig& config, int logSize) {
  QByteArray log;
  log.reserve(logSize);
  if (const auto type = LookUpDeviceType(config.deviceCode)) {
    RecordWriter writer(config, *type);
    const int capacity = logSize / type->recordLength;
    const int endRecords = config.wrapped ? 2 : 1;  // write point and end record, or the end record
    const int count = std::clamp(config.recordCount, 0, std::max(capacity - endRecords, 0));
    QList<QByteArray> records;  // in time order, so that contact states change plausibly
    for (int k = 0; k < count; ++k) records.append(writer.Record(k, 'w'));
    if (config.wrapped) {
      const int older = count - count / 3;
      for (int k = older; k < count; ++k) log.append(records[k]);
      log.append(writer.Record(count, 'x'));
      for (int k = 0; k < older; ++k) log.append(records[k]);
      log.append(EndRecord('e', type->recordLength));
    } else {
      for (const QByteArray& record : records) log.append(record);
      log.append(EndRecord('f', type->recordLength));
    }
  }
  log.append(QByteArray(logSize - log.size(), char(0xFF)));
  return log;
}

DeviceImage SimulatedDeviceImage(const SimulatorConfig& config) {
  if (!config.image.isEmpty()) return DeviceImage::FromBytes(config.image);
  const int logSize = ChipBlockCount(config.chipCode).blockCount * DeviceImage::BlockSize;
  return DeviceImage::ForLog(config.deviceCode, config.chipCode, config.headerWord,
                             GenerateLog(config, logSize));
}
