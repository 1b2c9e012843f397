#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <map>

#include "ArchiveFixture.h"
#include "core/TextLines.h"
#include "files/MeasurementLine.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"
#include "watch/AlarmRuns.h"

// Limits, alarms, statistics and the report as vald_read and vald_archive give them.

namespace {

const QString Mac = QStringLiteral("AA:BB:CC:DD:EE:FF");

ProcessResult ValdArchive(const QStringList& arguments) {
  return RunProgram(QStringLiteral(VALD_ARCHIVE_PATH), arguments);
}

ProcessResult ValdRead(uint16_t port, const TempFolder& out, const QStringList& more) {
  return RunProgram(QStringLiteral(VALD_READ_PATH),
                    QStringList{QStringLiteral("--port"), QString::number(port), QStringLiteral("--out"),
                                out.Path(), QStringLiteral("--time"), QStringLiteral("2024-04-01 12:00")} +
                        more);
}

QJsonArray AlarmsOfJsonLine(const QString& out) {
  return QJsonDocument::fromJson(out.trimmed().toUtf8()).object().value(QStringLiteral("alarms")).toArray();
}

// An archive holding the AGATE lines 0 .. 287 (two days) under Mac.
QString ArchiveOfTwoDays(const TempFolder& folder) {
  QByteArray text;
  for (const QByteArray& line : AgateLines(0, 288)) text += line + "\r\n";
  folder.Write(QStringLiteral("24.03.03 00.00 VALD_AGATE.csv"), text);
  const QString archive = folder.File(QStringLiteral("archive.sqlite"));
  const ProcessResult imported =
      ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("import"), QStringLiteral("--device"),
                   Mac, folder.File(QStringLiteral("24.03.03 00.00 VALD_AGATE.csv"))});
  EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
  return archive;
}

// An AGATE whose 300 records go above 24 °C now and then.
SimulatorConfig AgateOf300Records() {
  SimulatorConfig config;
  config.deviceCode = 21;
  config.recordCount = 300;
  return config;
}

TEST(ValdReadAlarms, EachNewAlarmIsReportedAndNotifiedOnce) {
  const RunningSimulator device(AgateOf300Records());
  TempFolder out;
  out.Write(QStringLiteral("limits.csv"), "# the default file beside the archive\n*;temperature;;24\n");
  const QString notes = out.File(QStringLiteral("notes.txt"));
  const QString notify =
      QStringLiteral(
          "[ \"$VALD_EVENT\" = alarm ] || exit 0; "
          "printf '%s|%s|%s|%s|%s|%s|%s|%s|%s\\n' \"$VALD_DEVICE\" \"$VALD_TYPE\" "
          "\"$VALD_CHANNEL\" \"$VALD_QUANTITY\" \"$VALD_UNIT\" \"$VALD_LIMIT\" \"$VALD_START\" "
          "\"$VALD_END\" \"$VALD_EXTREME\" >> '%1'")
          .arg(notes);
  const QStringList arguments = {QStringLiteral("--json"), QStringLiteral("--notify"), notify,
                                 QStringLiteral("127.0.0.1")};

  const ProcessResult first = ValdRead(device.Port(), out, arguments);
  EXPECT_EQ(first.exitCode, 3) << first.out.toStdString() << first.err.toStdString();
  const QJsonArray alarms = AlarmsOfJsonLine(first.out);
  ASSERT_FALSE(alarms.isEmpty()) << first.out.toStdString();

  // The alarms are those of the log in the file written, found directly.
  TextLines lines;
  lines.SetText(out.Read(QStringLiteral("24.04.01 12.00 VALD_AGATE.csv")));
  const DeviceType& agate = *FindDeviceType(21);
  const std::vector<Alarm> expected =
      FindAlarms(ReadMeasurementLines(lines), agate, std::vector<ChannelLimit>(2, {std::nullopt, 24}));
  ASSERT_EQ(size_t(alarms.size()), expected.size());
  const QStringList notified =
      QString::fromUtf8(out.Read(QStringLiteral("notes.txt"))).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(notified.size(), alarms.size());
  // The times carry the offset of the devices' time zone, here the system's.
  const QTimeZone zone = QTimeZone::systemTimeZone();
  for (qsizetype i = 0; i < alarms.size(); ++i) {
    const QJsonObject alarm = alarms[i].toObject();
    const Alarm& want = expected[size_t(i)];
    EXPECT_EQ(alarm.value(QStringLiteral("device")).toString(), QStringLiteral("00:1A:2B:3C:4D:5E"));
    EXPECT_EQ(alarm.value(QStringLiteral("channel")).toInt(), want.column + 1);
    EXPECT_EQ(alarm.value(QStringLiteral("quantity")).toString(), QStringLiteral("temperature"));
    EXPECT_EQ(alarm.value(QStringLiteral("limit")).toString(), QStringLiteral("high"));
    EXPECT_EQ(alarm.value(QStringLiteral("value")).toDouble(), 24);
    EXPECT_EQ(alarm.value(QStringLiteral("start")).toString(), RecordTimeIso(want.start, zone));
    EXPECT_EQ(alarm.value(QStringLiteral("end")).toString(), RecordTimeIso(want.end, zone));
    EXPECT_EQ(alarm.value(QStringLiteral("records")).toInt(), want.records);
    EXPECT_DOUBLE_EQ(alarm.value(QStringLiteral("extreme")).toDouble(), want.extreme);
    EXPECT_EQ(notified[i], QStringLiteral("00:1A:2B:3C:4D:5E|AGATE|%1|temperature|°C|high|%2|%3|%4")
                               .arg(want.column + 1)
                               .arg(RecordTimeIso(want.start, zone), RecordTimeIso(want.end, zone))
                               .arg(want.extreme));
  }

  // The archive knows them now: neither reported nor notified again.
  const ProcessResult second = ValdRead(device.Port(), out, arguments);
  EXPECT_EQ(second.exitCode, 0) << second.out.toStdString();
  EXPECT_TRUE(AlarmsOfJsonLine(second.out).isEmpty()) << second.out.toStdString();
  EXPECT_EQ(QString::fromUtf8(out.Read(QStringLiteral("notes.txt"))).count('\n'), alarms.size());

  // Without an archive every readout reports them all, one line each after the device's line.
  const ProcessResult unarchived = ValdRead(
      device.Port(), out, {QStringLiteral("--archive"), QStringLiteral("off"), QStringLiteral("127.0.0.1")});
  EXPECT_EQ(unarchived.exitCode, 3);
  const QStringList shown = unarchived.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(shown.size(), alarms.size() + 1) << unarchived.out.toStdString();
  const Alarm& last = expected.back();
  EXPECT_EQ(shown.back(),
            QStringLiteral("127.0.0.1: alarm: channel %1 (temperature) above 24 °C from %2 to %3, %4 "
                           "records, extreme %5 °C")
                .arg(last.column + 1)
                .arg(RecordTimeText(last.start), RecordTimeText(last.end))
                .arg(last.records)
                .arg(last.extreme));
}

// An alarm whose notify command failed is reported again by the next run, until one succeeds.
TEST(ValdReadAlarms, AFailedNotifyIsTriedAgainByTheNextRun) {
  const RunningSimulator device(AgateOf300Records());
  TempFolder out;
  out.Write(QStringLiteral("limits.csv"), "*;temperature;;24\n");
  const auto alarmsNotified = [&](const char* notify) {
    const ProcessResult read = ValdRead(device.Port(), out,
                                        {QStringLiteral("--json"), QStringLiteral("--notify"),
                                         QString::fromLatin1(notify), QStringLiteral("127.0.0.1")});
    return AlarmsOfJsonLine(read.out).size();
  };
  const qsizetype alarms = alarmsNotified("exit 7");
  ASSERT_GT(alarms, 0);
  EXPECT_EQ(alarmsNotified("exit 7"), alarms);
  EXPECT_EQ(alarmsNotified("true"), alarms);
  EXPECT_EQ(alarmsNotified("true"), 0);
}

// A notify command that prints without end and leaves a process running is stopped at its time with
// what it started, its output passed on only in part; the run's notify commands stop after five times
// that, and the result says so.
TEST(ValdReadAlarms, ANotifyCommandThatNeverEndsIsStoppedWithWhatItStarted) {
  const RunningSimulator device(AgateOf300Records());
  TempFolder out;
  out.Write(QStringLiteral("limits.csv"), "*;temperature;;24\n");
  const QString pids = out.File(QStringLiteral("pids.txt"));
  const QString notify =
      QStringLiteral("(trap '' TERM HUP; while :; do echo printing; done) & echo $! >> '%1'; wait").arg(pids);

  const ProcessResult read =
      ValdRead(device.Port(), out,
               {QStringLiteral("--json"), QStringLiteral("--notify"), notify,
                QStringLiteral("--notify-timeout"), QStringLiteral("1"), QStringLiteral("127.0.0.1")});

  EXPECT_EQ(read.exitCode, 1);
  const QString error =
      QJsonDocument::fromJson(read.out.toUtf8()).object()[QStringLiteral("error")].toString();
  EXPECT_TRUE(error.contains(QStringLiteral("ran longer than 1 s and was stopped"))) << error.toStdString();
  EXPECT_TRUE(error.contains(QStringLiteral("not notified: the notify commands of this run took 5 s")))
      << error.toStdString();
  EXPECT_TRUE(read.err.contains(QStringLiteral("[notify output cut after 65536 of")));
  EXPECT_LT(read.err.size(), 6 * 70 * 1024);
  const QList<QByteArray> started = out.Read(QStringLiteral("pids.txt")).split('\n');
  EXPECT_GE(started.size(), 5);
  for (const QByteArray& pid : started) {
    if (pid.isEmpty()) continue;
    // Gone, or a zombie that nobody has reaped yet.
    QFile status(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
    const bool running = status.open(QIODevice::ReadOnly) && !status.readAll().contains(") Z ");
    EXPECT_FALSE(running) << "still running: " << pid.toStdString();
  }
}

TEST(ValdReadAlarms, AMalformedLimitsLineStopsTheRunBeforeAnyDeviceIsRead) {
  SimulatorConfig config;
  config.deviceCode = 21;
  const RunningSimulator device(config);
  TempFolder out;
  out.Write(QStringLiteral("mine.csv"), "*;temperature;;24\n*;humidity;high;\n");
  const ProcessResult read = ValdRead(
      device.Port(), out,
      {QStringLiteral("--limits"), out.File(QStringLiteral("mine.csv")), QStringLiteral("127.0.0.1")});
  EXPECT_EQ(read.exitCode, 2);
  EXPECT_TRUE(read.err.contains(QStringLiteral("mine.csv line 2: LOW \"high\" is no number")))
      << read.err.toStdString();
  EXPECT_TRUE(device.Requests().isEmpty());
}

TEST(ValdArchiveStats, EqualADirectComputationOfEachDayAndChannel) {
  TempFolder folder;
  const QString archive = ArchiveOfTwoDays(folder);
  // The AGATE lines' values, day by day: line n is 10 minutes after line n - 1.
  std::map<std::pair<int, int>, std::vector<double>> values;
  for (int n = 0; n < 288; ++n) {
    values[{n / 144, 0}].push_back(n % 300 / 10 + n % 10 / 10.0);
    if (n % 7 != 0) values[{n / 144, 1}].push_back(n % 90);
  }
  const ProcessResult stats = ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("stats"), Mac,
                                           QStringLiteral("--format"), QStringLiteral("json")});
  ASSERT_EQ(stats.exitCode, 0) << stats.err.toStdString();
  const QJsonArray rows = QJsonDocument::fromJson(stats.out.toUtf8()).array();
  ASSERT_EQ(rows.size(), 4) << stats.out.toStdString();
  for (const QJsonValue& value : rows) {
    const QJsonObject row = value.toObject();
    const int day = row.value(QStringLiteral("day")).toString() == QStringLiteral("2024-03-01") ? 0 : 1;
    const std::vector<double>& channel = values[{day, row.value(QStringLiteral("channel")).toInt() - 1}];
    double sum = 0, kinetic = 0;
    for (const double v : channel) {
      sum += v;
      kinetic += std::exp(-10000 / (v + 273.15));
    }
    EXPECT_EQ(row.value(QStringLiteral("count")).toInt(), int(channel.size()));
    EXPECT_DOUBLE_EQ(row.value(QStringLiteral("minimum")).toDouble(),
                     *std::min_element(channel.begin(), channel.end()));
    EXPECT_DOUBLE_EQ(row.value(QStringLiteral("maximum")).toDouble(),
                     *std::max_element(channel.begin(), channel.end()));
    EXPECT_NEAR(row.value(QStringLiteral("mean")).toDouble(), sum / double(channel.size()), 1e-9);
    EXPECT_NEAR(row.value(QStringLiteral("mkt")).toDouble(),
                10000 / -std::log(kinetic / double(channel.size())) - 273.15, 1e-9);
  }

  const ProcessResult secondDay = ValdArchive({QStringLiteral("--archive"), archive, QStringLiteral("stats"),
                                               Mac, QStringLiteral("--from"), QStringLiteral("2024-03-02"),
                                               QStringLiteral("--format"), QStringLiteral("csv")});
  ASSERT_EQ(secondDay.exitCode, 0) << secondDay.err.toStdString();
  const QStringList csv = secondDay.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(csv.size(), 3);
  EXPECT_EQ(csv[0], QStringLiteral("day,channel,quantity,unit,count,minimum,maximum,mean,mkt"));
  EXPECT_TRUE(csv[1].startsWith(QStringLiteral("2024-03-02,1,temperature,°C,144,"))) << csv[1].toStdString();
}

}  // namespace
