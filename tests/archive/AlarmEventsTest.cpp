#include <signal.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include "ArchiveFixture.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"
#include "support/TempFolder.h"
#include "tools/sim/DeviceImage.h"
#include "tools/sim/FieldEncoder.h"

#include <gtest/gtest.h>

// Alarms that start and end as vald_read tells them: delay and hysteresis, all-clears, silent devices,
// the device's clock and rules that name no device, each read from a simulated device.

namespace {

constexpr int AgateCode = 21;  // two temperatures, tenths
constexpr int AgateFieldType = 10;

// An AGATE whose first temperature takes `values`, one record every ten minutes from 2024-03-01 00:00,
// the second one 20 °C.
SimulatorConfig AgateLogging(const std::vector<double>& values) {
  QByteArray log;
  for (size_t i = 0; i < values.size(); ++i) {
    const int minutes = int(i) * 10;
    log.append(char('w')).append(char(24)).append(char(3)).append(char(1));
    log.append(char(minutes / 60)).append(char(minutes % 60));
    for (const auto& [field, value] : {std::pair(0, values[i]), std::pair(1, 20.0)}) {
      const auto bytes = EncodeField(AgateFieldType, IsLateField(field, 2), value);
      log.append(char(bytes[0])).append(char(bytes[1]));
    }
  }
  log.append(char('f')).append(QByteArray(9, '\0'));
  SimulatorConfig config;
  config.image = DeviceImage::ForLog(AgateCode, 1, 0, log).ToBytes();
  return config;
}

// vald_read in Budapest's time zone with its clock at `now` ("2024-03-01 hh:mm"), the archive and the
// limits in `out`, notify commands writing "event|kind|start|end|age" lines into notes.txt.
ProcessResult ValdRead(const TempFolder& out, const QString& now, const QStringList& more) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Budapest"));
  const QString notify =
      QStringLiteral(
          "printf '%s|%s|%s|%s|%s\\n' \"$VALD_EVENT\" \"$VALD_KIND\" \"$VALD_START\" \"$VALD_END\" "
          "\"$VALD_AGE_MINUTES\" >> '%1'")
          .arg(out.File(QStringLiteral("notes.txt")));
  return RunProgram(QStringLiteral(VALD_READ_PATH),
                    QStringList{QStringLiteral("--out"), out.Path(), QStringLiteral("--time"),
                                QStringLiteral("2024-03-01 ") + now, QStringLiteral("--time-zone"),
                                QStringLiteral("Europe/Budapest"), QStringLiteral("--json"),
                                QStringLiteral("--notify"), notify} +
                        more,
                    environment);
}

QJsonObject DeviceLine(const ProcessResult& read) {
  return QJsonDocument::fromJson(read.out.split(QLatin1Char('\n')).first().toUtf8()).object();
}

QJsonArray Alarms(const ProcessResult& read) {
  return DeviceLine(read).value(QStringLiteral("alarms")).toArray();
}

QStringList NotesTaken(TempFolder& out) {
  const QStringList notes =
      QString::fromUtf8(out.Read(QStringLiteral("notes.txt"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  out.Write(QStringLiteral("notes.txt"), QByteArray());
  return notes;
}

QString Device(uint16_t port) {
  return QStringLiteral("127.0.0.1:%1").arg(port);
}

// A one-record spike is no alarm with a delay of ten minutes; the half-hour excursion after it is one,
// still open while its value stays within the hysteresis of the limit. The next readout, with the
// value back inside, tells its all-clear, once.
TEST(AlarmEvents, AnExcursionThatLastedIsOneAlarmAndItsEndAnAllClear) {
  TempFolder out;
  out.Write(QStringLiteral("limits.csv"), "AGATE;1;;8;10;0.5\n");
  const std::vector<double> excursion = {5, 9, 5, 9, 9.5, 9, 7.8, 9};
  std::vector<double> over = excursion;
  over.insert(over.end(), {7.4, 5});
  {
    const RunningSimulator device(AgateLogging(excursion));
    const ProcessResult read = ValdRead(out, QStringLiteral("01:15"), {Device(device.Port())});
    EXPECT_EQ(read.exitCode, 3) << read.out.toStdString() << read.err.toStdString();
    const QJsonArray alarms = Alarms(read);
    ASSERT_EQ(alarms.size(), 1) << read.out.toStdString();
    const QJsonObject alarm = alarms[0].toObject();
    EXPECT_EQ(alarm.value(QStringLiteral("kind")).toString(), QStringLiteral("limit"));
    EXPECT_TRUE(alarm.value(QStringLiteral("open")).toBool());
    EXPECT_EQ(alarm.value(QStringLiteral("events")).toArray(), QJsonArray{QStringLiteral("alarm")});
    EXPECT_EQ(alarm.value(QStringLiteral("start")).toString(), QStringLiteral("2024-03-01T00:30:00+01:00"));
    EXPECT_EQ(alarm.value(QStringLiteral("end")).toString(), QStringLiteral("2024-03-01T01:10:00+01:00"));
    EXPECT_EQ(alarm.value(QStringLiteral("records")).toInt(), 5);
    EXPECT_EQ(DeviceLine(read).value(QStringLiteral("newestRecordAgeMinutes")).toDouble(), 5);
    EXPECT_EQ(
        NotesTaken(out),
        QStringList{QStringLiteral("alarm|limit|2024-03-01T00:30:00+01:00|2024-03-01T01:10:00+01:00|")});
  }
  const RunningSimulator device(AgateLogging(over));
  const ProcessResult read = ValdRead(out, QStringLiteral("01:35"), {Device(device.Port())});
  EXPECT_EQ(read.exitCode, 0) << read.out.toStdString() << read.err.toStdString();
  const QJsonArray alarms = Alarms(read);
  ASSERT_EQ(alarms.size(), 1) << read.out.toStdString();
  EXPECT_FALSE(alarms[0].toObject().value(QStringLiteral("open")).toBool());
  EXPECT_EQ(alarms[0].toObject().value(QStringLiteral("events")).toArray(),
            QJsonArray{QStringLiteral("clear")});
  EXPECT_EQ(NotesTaken(out),
            QStringList{QStringLiteral("clear|limit|2024-03-01T00:30:00+01:00|2024-03-01T01:10:00+01:00|")});

  const ProcessResult again = ValdRead(out, QStringLiteral("01:35"), {Device(device.Port())});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_TRUE(Alarms(again).isEmpty()) << again.out.toStdString();
  EXPECT_TRUE(NotesTaken(out).isEmpty());

  // The archive keeps each readout's newest record age and the alarm as over.
  const ArchiveLocation archive = ParseArchiveLocation(out.File(QStringLiteral("archive.sqlite")), QString());
  EXPECT_EQ(
      QueryArchive(archive, QStringLiteral("SELECT newest_record_age_minutes FROM readouts ORDER BY id")),
      (QList<QVariantList>{{5.0}, {5.0}, {5.0}}));
  EXPECT_EQ(QueryArchive(archive, QStringLiteral("SELECT kind, is_open, start_time FROM alarms")),
            (QList<QVariantList>{{QStringLiteral("limit"), 0, QStringLiteral("2024-03-01 00:30")}}));
}

// A device that does not answer is silent: told once, and its all-clear once it answers with new
// records again.
TEST(AlarmEvents, ASilentDeviceIsToldOnceAndClearedWhenItAnswers) {
  TempFolder out;
  uint16_t port = 0;
  const QStringList arguments = {QStringLiteral("--stale"), QStringLiteral("60")};
  {
    SimulatorConfig silent;
    silent.silent = true;
    const RunningSimulator device(silent);
    port = device.Port();
    for (const int run : {1, 2}) {
      const ProcessResult read =
          ValdRead(out, QStringLiteral("01:15"), arguments + QStringList{Device(port)});
      EXPECT_EQ(read.exitCode, 1) << read.out.toStdString();
      EXPECT_TRUE(DeviceLine(read).value(QStringLiteral("newestRecordAgeMinutes")).isNull());
      const QJsonArray alarms = Alarms(read);
      ASSERT_EQ(alarms.size(), run == 1 ? 1 : 0) << read.out.toStdString();
      if (run == 2) continue;
      EXPECT_EQ(alarms[0].toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("silent"));
      EXPECT_TRUE(alarms[0].toObject().value(QStringLiteral("open")).toBool());
      EXPECT_EQ(
          NotesTaken(out),
          QStringList{QStringLiteral("alarm|silent|2024-03-01T01:15:00+01:00|2024-03-01T01:15:00+01:00|")});
    }
    EXPECT_TRUE(NotesTaken(out).isEmpty());
  }
  const RunningSimulator device(AgateLogging({5, 5, 5, 5, 5, 5, 5, 5}), QHostAddress(QHostAddress::LocalHost),
                                port);
  const ProcessResult read = ValdRead(out, QStringLiteral("01:30"), arguments + QStringList{Device(port)});
  EXPECT_EQ(read.exitCode, 0) << read.out.toStdString() << read.err.toStdString();
  const QJsonArray alarms = Alarms(read);
  ASSERT_EQ(alarms.size(), 1) << read.out.toStdString();
  EXPECT_EQ(alarms[0].toObject().value(QStringLiteral("events")).toArray(),
            QJsonArray{QStringLiteral("clear")});
  EXPECT_EQ(
      NotesTaken(out),
      QStringList{QStringLiteral("clear|silent|2024-03-01T01:15:00+01:00|2024-03-01T01:30:00+01:00|20")});
}

struct DeviceAlarmCase {
  const char* name;
  const char* now;     // the reading machine's clock; the newest record is at 01:10
  const char* option;  // with "60" or "30" minutes
  double age;          // newestRecordAgeMinutes
  const char* note;    // what the notify command wrote
};

class DeviceAlarmOfAReadout : public testing::TestWithParam<DeviceAlarmCase> {};

// A device that answers, but whose newest record is too old, is silent; records ahead of the reading
// machine's clock beyond the limit say that the device's clock is off.
TEST_P(DeviceAlarmOfAReadout, IsToldWithTheNewestRecordsAge) {
  TempFolder out;
  const RunningSimulator device(AgateLogging({5, 5, 5, 5, 5, 5, 5, 5}));
  const QString option = QString::fromLatin1(GetParam().option);
  const ProcessResult read =
      ValdRead(out, QString::fromLatin1(GetParam().now),
               {option, option == QLatin1String("--stale") ? QStringLiteral("60") : QStringLiteral("30"),
                Device(device.Port())});
  EXPECT_EQ(read.exitCode, 3) << read.out.toStdString() << read.err.toStdString();
  EXPECT_EQ(DeviceLine(read).value(QStringLiteral("newestRecordAgeMinutes")).toDouble(), GetParam().age);
  ASSERT_EQ(Alarms(read).size(), 1) << read.out.toStdString();
  EXPECT_EQ(NotesTaken(out), QStringList{QString::fromLatin1(GetParam().note)});
}

// A silent or clock alarm whose notify command failed is told again by the next run.
TEST_P(DeviceAlarmOfAReadout, WhoseNotifyFailedIsToldByTheNextRun) {
  TempFolder out;
  const RunningSimulator device(AgateLogging({5, 5, 5, 5, 5, 5, 5, 5}));
  const QString option = QString::fromLatin1(GetParam().option);
  const QStringList arguments = {
      option, option == QLatin1String("--stale") ? QStringLiteral("60") : QStringLiteral("30"),
      Device(device.Port())};
  const ProcessResult failed =
      ValdRead(out, QString::fromLatin1(GetParam().now),
               QStringList{QStringLiteral("--notify"), QStringLiteral("exit 4")} + arguments);
  EXPECT_EQ(failed.exitCode, 1) << failed.out.toStdString() << failed.err.toStdString();
  const ProcessResult again = ValdRead(out, QString::fromLatin1(GetParam().now), arguments);
  EXPECT_EQ(again.exitCode, 3) << again.out.toStdString() << again.err.toStdString();
  EXPECT_EQ(NotesTaken(out), QStringList{QString::fromLatin1(GetParam().note)});
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DeviceAlarmOfAReadout,
    testing::Values(DeviceAlarmCase{"OldRecordsAreSilent", "03:10", "--stale", 120,
                                    "alarm|silent|2024-03-01T03:10:00+01:00|2024-03-01T03:10:00+01:00|120"},
                    DeviceAlarmCase{"RecordsInTheFutureAreAClockOff", "00:10", "--clock-limit", -60,
                                    "alarm|clock|2024-03-01T00:10:00+01:00|2024-03-01T00:10:00+01:00|-60"}),
    [](const testing::TestParamInfo<DeviceAlarmCase>& info) { return std::string(info.param.name); });

// Without --clock-limit a run that watches the devices holds their clocks to a quarter of an hour: records
// that far ahead of the machine's clock are on time, a minute further they are a clock off.
TEST(AlarmEvents, TheDefaultClockLimitIsAQuarterOfAnHour) {
  const RunningSimulator device(AgateLogging({5, 5, 5, 5, 5, 5, 5, 5}));  // the newest record at 01:10
  for (const auto& [now, alarms] : {std::pair("00:55", 0), std::pair("00:54", 1)}) {
    TempFolder out;
    const ProcessResult read = ValdRead(
        out, QLatin1String(now), {QStringLiteral("--stale"), QStringLiteral("600"), Device(device.Port())});
    EXPECT_EQ(read.exitCode, alarms == 0 ? 0 : 3) << now << read.out.toStdString() << read.err.toStdString();
    ASSERT_EQ(Alarms(read).size(), alarms) << now << read.out.toStdString();
    if (alarms == 1) {
      EXPECT_EQ(Alarms(read)[0].toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("clock"));
    }
  }
}

// A rule names a device by the host and port it is read at; a rule that named no device of the run is
// named on standard error and in the JSON's last line.
TEST(AlarmEvents, AHostAndPortRuleMatchesAndOneThatMatchedNothingIsNamed) {
  TempFolder out;
  const RunningSimulator device(AgateLogging({5, 9, 5}));
  const uint16_t otherPort = device.Port() == 1 ? 2 : 1;
  out.Write(QStringLiteral("limits.csv"), QStringLiteral("# cold room\n%1;1;;8\n%2;1;;8\n")
                                              .arg(Device(device.Port()), Device(otherPort))
                                              .toUtf8());
  const ProcessResult read = ValdRead(out, QStringLiteral("00:25"), {Device(device.Port())});
  EXPECT_EQ(read.exitCode, 3) << read.out.toStdString() << read.err.toStdString();
  EXPECT_EQ(Alarms(read).size(), 1) << read.out.toStdString();
  const QStringList lines = read.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2) << read.out.toStdString();
  const QJsonArray unmatched =
      QJsonDocument::fromJson(lines[1].toUtf8()).object().value(QStringLiteral("unmatchedRules")).toArray();
  EXPECT_EQ(
      unmatched,
      (QJsonArray{QJsonObject{{QStringLiteral("line"), 3},
                              {QStringLiteral("rule"), QStringLiteral("%1;1;;8").arg(Device(otherPort))}}}));
  EXPECT_TRUE(
      read.err.contains(QStringLiteral("limits.csv line 3: warning: \"%1;1;;8\" named no device of this run")
                            .arg(Device(otherPort))))
      << read.err.toStdString();
}

// A misspelt type name is no host: the run stops before any device is read, naming the line.
TEST(AlarmEvents, AMisspeltTypeIsRefusedWithItsLine) {
  TempFolder out;
  const RunningSimulator device(AgateLogging({5}));
  out.Write(QStringLiteral("limits.csv"), "IOLITE;temperature;;24\nIOLTE;temperature;;24\n");
  const ProcessResult read = ValdRead(out, QStringLiteral("00:25"), {Device(device.Port())});
  EXPECT_EQ(read.exitCode, 2);
  EXPECT_TRUE(read.err.contains(QStringLiteral("limits.csv line 2: \"IOLTE\" is no device type")))
      << read.err.toStdString();
  EXPECT_TRUE(device.Requests().isEmpty());
}

// Whether process `pid` ended (gone, or a zombie that its new parent has yet to reap), waiting up to
// ten seconds for a signal sent to it to take effect.
bool ProcessEnded(pid_t pid) {
  const QDeadlineTimer deadline(10000);
  for (;;) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray fields = stat.readAll();
    if (fields.mid(fields.lastIndexOf(')') + 2, 1) == "Z") return true;
    if (deadline.hasExpired()) return false;
    QThread::msleep(10);
  }
}

// A stop signal while a notify command runs: the command and what it started are ended, the device read
// meanwhile is left after its exchange in flight, every device has its line, and the events not told
// are told by the next run.
TEST(AlarmEvents, AStoppedRunEndsItsNotifyCommandAndLeavesTheAlarmToTheNextRun) {
  TempFolder out;
  out.Write(QStringLiteral("limits.csv"), "AGATE;1;;8\n");
  const RunningSimulator alarming(AgateLogging({5, 9, 5}));
  SimulatorConfig slowConfig;
  slowConfig.replyDelayMs = 300;
  const RunningSimulator slow(slowConfig);
  const QString started = out.File(QStringLiteral("notify-started"));
  QProcess read;
  read.start(QStringLiteral(VALD_READ_PATH),
             {QStringLiteral("--out"), out.Path(), QStringLiteral("--jobs"), QStringLiteral("1"),
              QStringLiteral("--notify"),
              QStringLiteral("sleep 60 & echo $! > '%1.part' && mv '%1.part' '%1'; wait").arg(started),
              Device(alarming.Port()), Device(slow.Port())});
  ASSERT_TRUE(read.waitForStarted());
  while (!QFile::exists(started))
    ASSERT_FALSE(read.waitForFinished(10)) << read.readAllStandardError().toStdString();
  kill(pid_t(read.processId()), SIGTERM);
  ASSERT_TRUE(read.waitForFinished());
  EXPECT_EQ(read.exitCode(), 1);
  EXPECT_TRUE(ProcessEnded(pid_t(out.Read(QStringLiteral("notify-started")).trimmed().toInt())));
  const QStringList lines =
      QString::fromUtf8(read.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].endsWith(QStringLiteral(
      "(the notify command was stopped: vald_read was stopped; not notified: vald_read was stopped)")))
      << lines[0].toStdString();
  EXPECT_EQ(lines[2], Device(slow.Port()) + QStringLiteral(": not read: vald_read was stopped"));
  EXPECT_LT(slow.Requests().size(), 34);

  const ProcessResult again = ValdRead(out, QStringLiteral("01:15"), {Device(alarming.Port())});
  EXPECT_EQ(again.exitCode, 3) << again.err.toStdString();
  EXPECT_EQ(NotesTaken(out).size(), 2);
}

}  // namespace
