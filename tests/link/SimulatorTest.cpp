#include <gtest/gtest.h>

#include <algorithm>

#include "core/ValdError.h"
#include "decode/DeviceCatalogue.h"
#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"
#include "files/MeasurementLine.h"
#include "tools/sim/AddressIdentity.h"
#include "tools/sim/DeviceResponder.h"
#include "tools/sim/FieldEncoder.h"
#include "tools/sim/LogGenerator.h"

namespace {

struct EncodingCase {
  int fieldType;
  bool late;
  std::optional<double> value;
  std::array<uint8_t, 2> bytes;
};

class FieldEncoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(FieldEncoding, StoresWhatTheCodecReadsBack) {
  const EncodingCase& c = GetParam();
  const auto bytes = EncodeField(c.fieldType, c.late, c.value);
  EXPECT_EQ(bytes[0], c.bytes[0]);
  EXPECT_EQ(bytes[1], c.bytes[1]);
}

constexpr std::nullopt_t Missing = std::nullopt;

// The codec's known answers read backwards, plus the clamping away from the missing marks.
INSTANTIATE_TEST_SUITE_P(
    KnownAnswers, FieldEncoding,
    testing::Values(EncodingCase{1, false, -2.5, {0xFE, 0xFB}}, EncodingCase{1, false, -0.5, {0x00, 0xFB}},
                    EncodingCase{1, false, Missing, {0x80, 0x00}},
                    EncodingCase{2, false, 70000, {0xFF, 0xFE}}, EncodingCase{3, false, -2, {0xFF, 0xEC}},
                    EncodingCase{3, false, 3000, {0x75, 0x2F}}, EncodingCase{4, false, 3000, {0x75, 0x30}},
                    EncodingCase{5, false, 5, {0x05, 0x00}}, EncodingCase{6, false, 21.5, {0x00, 0xD7}},
                    EncodingCase{6, true, 415, {0x01, 0x9F}}, EncodingCase{7, false, Missing, {0xFF, 0x7F}},
                    EncodingCase{7, true, 415, {0x9F, 0x01}}, EncodingCase{10, false, -3276.8, {0x00, 0x80}},
                    EncodingCase{11, false, 300, {0x2C, 0x01}}, EncodingCase{12, false, 0x0102, {0x01, 0x02}},
                    EncodingCase{13, false, 0, {0x01, 0x00}}));

TEST(FieldEncoding, OnlyTheFirstTwoFieldsOfALongerRecordAreEarly) {
  EXPECT_FALSE(IsLateField(0, 4));
  EXPECT_FALSE(IsLateField(1, 4));
  EXPECT_TRUE(IsLateField(2, 4));
  EXPECT_TRUE(IsLateField(1, 2));
  EXPECT_TRUE(IsLateField(0, 1));
}

// A generated log read back the way the readout does it: block decoding, then the ring ordering.
TextLines ReadBack(const SimulatorConfig& config) {
  const DeviceImage image = SimulatedDeviceImage(config);
  const DeviceType type = *LookUpDeviceType(config.deviceCode);
  const RecordLog log = DecodeLog(
      std::span(reinterpret_cast<const uint8_t*>(image.log.constData()), size_t(image.log.size())), type);
  return FormatMeasurementLines(OrderRing(log.records), log.values, {'.', '.'});
}

QByteArray TimeStampColumns(const QDateTime& time) {
  return time.toString(QStringLiteral("yyyy;MM;dd;hh;mm;")).toLatin1();
}

struct GeneratedLog {
  int deviceCode;
  bool wrapped;
};

class GeneratedLogs : public testing::TestWithParam<GeneratedLog> {};

TEST_P(GeneratedLogs, ReadBackInTimeOrderWithTheirMissingValues) {
  SimulatorConfig config;
  config.deviceCode = GetParam().deviceCode;
  config.wrapped = GetParam().wrapped;
  config.recordCount = 300;
  config.missingEveryN = 25;
  const DeviceType type = *LookUpDeviceType(config.deviceCode);

  const TextLines lines = ReadBack(config);

  ASSERT_EQ(lines.Count(), 300);
  for (int k = 0; k < lines.Count(); ++k) {
    ASSERT_EQ(lines.Get(k).left(17),
              TimeStampColumns(config.start.addSecs(qint64(k) * config.intervalMinutes * 60)));
  }
  const int missing = int(std::count_if(lines.Lines().begin(), lines.Lines().end(),
                                        [](const QByteArray& line) { return line.contains(";--;"); }));
  EXPECT_EQ(missing, type.fieldType == 12 ? 0 : 12);
}

std::vector<GeneratedLog> EveryDeviceBothWays() {
  std::vector<GeneratedLog> logs;
  for (const DeviceType& type : DeviceTypeTable()) {
    logs.push_back({type.code, true});
    logs.push_back({type.code, false});
  }
  return logs;
}

INSTANTIATE_TEST_SUITE_P(EveryDevice, GeneratedLogs, testing::ValuesIn(EveryDeviceBothWays()),
                         [](const auto& info) {
                           return std::to_string(info.param.deviceCode) +
                                  (info.param.wrapped ? "Wrapped" : "Flat");
                         });

// Value columns of a generated line, as numbers.
QList<double> ValuesOf(const QByteArray& line) {
  QList<double> values;
  const QList<QByteArray> columns = line.split(';');
  for (qsizetype i = 5; i + 1 < columns.size(); ++i) {
    if (columns[i] != "--") values.append(columns[i].toDouble());
  }
  return values;
}

struct PlausibleRange {
  int deviceCode;
  int column;  // value column from 0
  double low;
  double high;
};

class PlausibleReadings : public testing::TestWithParam<PlausibleRange> {};

TEST_P(PlausibleReadings, StayWithinTheirDailyRange) {
  const PlausibleRange& range = GetParam();
  SimulatorConfig config;
  config.deviceCode = range.deviceCode;
  config.missingEveryN = 0;
  config.recordCount = 500;
  double lowest = 1e9;
  double highest = -1e9;
  const TextLines lines = ReadBack(config);
  for (const QByteArray& line : lines.Lines()) {
    const double value = ValuesOf(line).at(range.column);
    lowest = std::min(lowest, value);
    highest = std::max(highest, value);
  }
  EXPECT_GE(lowest, range.low);
  EXPECT_LE(highest, range.high);
  EXPECT_GT(highest - lowest, 0) << "the readings follow a daily curve";
}

INSTANTIATE_TEST_SUITE_P(Quantities, PlausibleReadings,
                         testing::Values(PlausibleRange{2, 0, 16, 28}, PlausibleRange{21, 1, 16, 28},
                                         PlausibleRange{8, 1, 30, 70}, PlausibleRange{43, 2, 380, 1600},
                                         PlausibleRange{104, 2, 380, 1600}, PlausibleRange{14, 0, 0, 1000},
                                         PlausibleRange{42, 5, 0, 1}, PlausibleRange{103, 0, 0, 1},
                                         PlausibleRange{39, 0, 0, 25}, PlausibleRange{31, 1, 0, 3},
                                         PlausibleRange{55, 4, 2250, 2400}, PlausibleRange{56, 2, 225, 240}));

// An energy meter's power of each phase is what that phase's voltage and current give, to the tenth of a
// kilowatt the log keeps: 230 V and 6 A are 1.4 kW, not a thousand. The line holds each in tenths.
TEST(GenerateLog, EnergyMeterPowerIsVoltageTimesCurrent) {
  SimulatorConfig config;
  config.deviceCode = 55;
  config.missingEveryN = 0;
  config.recordCount = 300;
  constexpr int Phases = 3;
  double highest = 0;
  const TextLines lines = ReadBack(config);
  for (const QByteArray& line : lines.Lines()) {
    const QList<double> values = ValuesOf(line);
    ASSERT_EQ(values.size(), 3 * Phases) << line.toStdString();
    for (int phase = 0; phase < Phases; ++phase) {
      const double kilowatts = values[phase] / 10;
      const double volts = values[Phases + phase] / 10;
      const double amperes = values[2 * Phases + phase] / 10;
      EXPECT_NEAR(kilowatts, volts * amperes / 1000, 0.07) << line.toStdString();
      highest = std::max(highest, kilowatts);
    }
  }
  EXPECT_GT(highest, 0.5);
  EXPECT_LT(highest, 2);
}

// Each simulator's MAC address comes from the address and port it listens on; the rest of the reply
// stays.
TEST(AddressIdentity, MacAddressOfTheAddressAndPort) {
  const QByteArray reply = "00:1A:2B:3C:4D:5E;SN0001;R-17;AGATE;v2.3;c1";
  const struct {
    const char* address;
    uint16_t port;
    const char* mac;
  } cases[] = {
      {"127.0.0.1", 6262, "7E:00:00:01:18:76"}, {"127.0.0.2", 6262, "7E:00:00:02:18:76"},
      {"127.0.0.1", 6263, "7E:00:00:01:18:77"}, {"10.1.2.3", 40000, "0A:01:02:03:9C:40"},
      {"::1", 6262, "02:00:00:01:18:76"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AddressIdentity(QHostAddress(QLatin1String(c.address)), c.port, reply),
              QByteArray(c.mac) + ";SN0001;R-17;AGATE;v2.3;c1")
        << c.address << ":" << c.port;
  }
}

TEST(GenerateLog, WrappedRingPutsTheNewestRecordsBeforeTheWritePoint) {
  SimulatorConfig config;
  config.recordCount = 6;
  const QByteArray log = GenerateLog(config, 512);

  QByteArray kinds;
  for (int offset = 0; offset + 10 <= log.size(); offset += 10) kinds.append(log[offset]);
  EXPECT_EQ(kinds.left(9), QByteArray("wwxwwwwe\xFF"));
  QList<int> minutes;
  for (int offset = 0; offset < 70; offset += 10) minutes.append(log[offset + 5]);
  EXPECT_EQ(minutes, (QList<int>{40, 50, 0, 0, 10, 20, 30})) << "the write point holds the next time, 01:00";
}

TEST(GenerateLog, RecordsBeyondTheChipAreLeftOut) {
  SimulatorConfig config;
  config.recordCount = 100000;
  config.wrapped = false;
  EXPECT_EQ(ReadBack(config).Count(), 16384 / 10 - 1);
  config.wrapped = true;
  config.chipCode = 2;
  EXPECT_EQ(ReadBack(config).Count(), 49152 / 10 - 2);
}

TEST(GenerateLog, UnknownDeviceGivesAnErasedLog) {
  SimulatorConfig config;
  config.deviceCode = 20;
  EXPECT_EQ(GenerateLog(config, 1024), QByteArray(1024, char(0xFF)));
}

DeviceResponder ResponderWith(void (*adjust)(SimulatorConfig&)) {
  SimulatorConfig config;
  config.deviceCode = 46;
  config.chipCode = 2;
  config.headerWord = -2;
  adjust(config);
  return DeviceResponder(config);
}

QByteArray Request(const char* text) {
  return QByteArray(text) + '\0';
}

TEST(DeviceResponder, AnswersTheFourCommandsAndIgnoresTheRest) {
  const DeviceResponder device = ResponderWith([](SimulatorConfig& c) { c.netresetReply = "done"; });

  const QByteArray header = device.Answer(Request("EA4352")).value();
  ASSERT_EQ(header.size(), 512);
  EXPECT_EQ(header.left(2), QByteArray("\x2E\x02"));
  EXPECT_EQ(header.mid(20, 4), QByteArray("\xFE\xFF\xFF\xFF"));
  EXPECT_EQ(device.Answer(Request("ED00")), device.Image().log.left(512));
  EXPECT_EQ(device.Answer(Request("ED95")), device.Image().log.right(512));
  EXPECT_EQ(device.Answer(Request("ED96")), QByteArray(512, char(0xFF)));
  EXPECT_EQ(device.Answer(Request("netreset")), Request("done"));
  EXPECT_EQ(device.Answer(Request("E47305826")), Request("00:1A:2B:3C:4D:5E;SN0001;R-17;AGATE;v2.3;c1"));
  const QByteArray lastByteFirst = device.Answer(Request("EA-1")).value();  // addresses wrap around 64 KiB
  EXPECT_EQ(lastByteFirst, device.Image().memory.right(1) + device.Image().memory.left(511));
  for (const char* other : {"EA", "EAx", "ED", "EDx", "XY", "netreset2", ""}) {
    EXPECT_FALSE(device.Answer(Request(other))) << other;
  }
}

TEST(DeviceResponder, StaysSilentWhereConfigured) {
  const DeviceResponder noHeader = ResponderWith([](SimulatorConfig& c) { c.silentHeader = true; });
  EXPECT_FALSE(noHeader.Answer(Request("EA4352")));
  EXPECT_TRUE(noHeader.Answer(Request("EA4353")));

  const DeviceResponder fromBlock3 = ResponderWith([](SimulatorConfig& c) { c.silentFromBlock = 3; });
  EXPECT_TRUE(fromBlock3.Answer(Request("ED02")));
  EXPECT_FALSE(fromBlock3.Answer(Request("ED03")));
  EXPECT_FALSE(fromBlock3.Answer(Request("ED95")));

  const DeviceResponder silent = ResponderWith([](SimulatorConfig& c) { c.silent = true; });
  EXPECT_FALSE(silent.Answer(Request("netreset")));
}

TEST(DeviceImage, FileLayoutIsMemoryThenWholeLogBlocks) {
  SimulatorConfig config;
  const DeviceImage image = SimulatedDeviceImage(config);
  const QByteArray bytes = image.ToBytes();
  ASSERT_EQ(bytes.size(), 65536 + 32 * 512);

  const DeviceImage loaded = DeviceImage::FromBytes(bytes);
  EXPECT_EQ(loaded.memory, image.memory);
  EXPECT_EQ(loaded.log, image.log);
  EXPECT_THROW(DeviceImage::FromBytes(bytes.left(65536)), ValdError);
  EXPECT_THROW(DeviceImage::FromBytes(bytes + "x"), ValdError);
}

}  // namespace
