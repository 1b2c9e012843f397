#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "ArchiveFixture.h"
#include "support/ProgramRun.h"
#include "support/SimulatorFixture.h"

// Two vald_read runs started together on one archive that is not there yet, over a site of simulated
// devices, with limits and a notify command: the archive is sound afterwards, holds exactly the records
// that one run alone gives, and every alarm was told exactly once between the two.

namespace {

// Devices of temperatures and humidities, and the climate device, on the small chip.
constexpr int DeviceCodes[] = {2, 21, 43};
constexpr int DevicesPerSite = 4;

// A site whose devices' codes, logs and readings follow from `seed`, each on a port of its own.
class SeededSite {
 public:
  explicit SeededSite(uint32_t seed) {
    std::mt19937 random(seed);
    for (int device = 0; device < DevicesPerSite; ++device) {
      SimulatorConfig config;
      config.deviceCode = DeviceCodes[random() % std::size(DeviceCodes)];
      config.chipCode = 1;
      config.recordCount = 150 + int(random() % 450);
      config.seed = random();
      config.identityReply = QStringLiteral("02:00:00:%1:00:%2;SN1;R-1;X;v1;c1")
                                 .arg(seed % 256, 2, 16, QLatin1Char('0'))
                                 .arg(device, 2, 10, QLatin1Char('0'))
                                 .toLatin1();
      devices_.push_back(std::make_unique<RunningSimulator>(config));
    }
  }
  QStringList Hosts() const {
    QStringList hosts;
    for (const auto& device : devices_) hosts << QStringLiteral("127.0.0.1:%1").arg(device->Port());
    return hosts;
  }

 private:
  std::vector<std::unique_ptr<RunningSimulator>> devices_;
};

// A run over `site` into `archive`, telling every event as a line of `notes`.
QStringList RunArguments(const SeededSite& site, const TempFolder& folder, const QString& archive,
                         const QString& notes) {
  const QString notify =
      QStringLiteral(
          "printf '%s|%s|%s|%s|%s|%s|%s\\n' \"$VALD_EVENT\" \"$VALD_KIND\" \"$VALD_DEVICE\" "
          "\"$VALD_CHANNEL\" \"$VALD_LIMIT\" \"$VALD_START\" \"$VALD_END\" >> '%1'")
          .arg(folder.File(notes));
  return QStringList{QStringLiteral("--archive"),
                     archive,
                     QStringLiteral("--out"),
                     folder.Path(),
                     QStringLiteral("--no-files"),
                     QStringLiteral("--time"),
                     QStringLiteral("2024-03-04 12:00"),
                     QStringLiteral("--time-zone"),
                     QStringLiteral("UTC"),
                     QStringLiteral("--limits"),
                     folder.File(QStringLiteral("limits.csv")),
                     QStringLiteral("--notify"),
                     notify,
                     QStringLiteral("--json")} +
         site.Hosts();
}

// The runs' locale and clock, whatever the machine's.
QProcessEnvironment RunEnvironment() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
  environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
  return environment;
}

// What went wrong in a run, a line each: how it ended, its devices' errors.
std::string RunProblems(const ProcessResult& run) {
  QStringList problems;
  if (run.exitCode != 0 && run.exitCode != 3)
    problems << QStringLiteral("exit status %1: %2").arg(run.exitCode).arg(run.err);
  for (const QString& line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QJsonValue error = QJsonDocument::fromJson(line.toUtf8()).object().value(QStringLiteral("error"));
    if (!error.isNull()) problems << error.toString();
  }
  return problems.join(QLatin1Char('\n')).toStdString();
}

// Every device's lines in time order, by key, each line's bytes and a line feed.
std::map<QString, QByteArray> ArchivedLines(const ArchiveLocation& location) {
  ArchiveStore store(location, ArchiveAccess::ReadOnly);
  std::map<QString, QByteArray> lines;
  for (const ArchivedDevice& device : store.Devices()) {
    for (const QByteArray& line : store.Lines(device.id, "", "")) lines[device.key] += line + '\n';
  }
  return lines;
}

// The events told, a line each, in sorted order.
std::string NotesTold(const TempFolder& folder, const QString& notes) {
  QStringList lines = QString::fromUtf8(folder.Read(notes)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  lines.sort();
  return lines.join(QLatin1Char('\n')).toStdString();
}

class TwoRunsAtOnce : public ArchiveTest {};

TEST_P(TwoRunsAtOnce, MakeOneSoundArchiveAndTellEveryAlarmOnce) {
  folder.Write(QStringLiteral("limits.csv"), "*;temperature;;24.5;30;0.5\n");
  // A server's archive is the fixture's fresh database, once; SQLite's a new file in every trial.
  const uint32_t trials = GetParam() == Engine::SQLite ? 50 : 1;
  for (uint32_t seed = 1; seed <= trials && !HasFailure(); ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    const SeededSite site(seed);
    const QString trial = QString::number(seed);
    const QString alone = folder.File(QStringLiteral("alone-%1.sqlite").arg(trial));
    const ProcessResult expected = RunProgram(
        QStringLiteral(VALD_READ_PATH),
        RunArguments(site, folder, alone, QStringLiteral("alone-%1.txt").arg(trial)), RunEnvironment());
    ASSERT_EQ(RunProblems(expected), "");
    const std::string told = NotesTold(folder, QStringLiteral("alone-%1.txt").arg(trial));
    ASSERT_NE(told, "") << "the limits give no alarm";

    const ArchiveLocation together =
        GetParam() == Engine::SQLite
            ? ParseArchiveLocation(QStringLiteral("together-%1.sqlite").arg(trial), folder.Path())
            : location;
    const QString notes = QStringLiteral("together-%1.txt").arg(trial);
    const QStringList arguments = RunArguments(site, folder, together.Describe(), notes);
    for (const ProcessResult& run :
         RunProgramsAtOnce(QStringLiteral(VALD_READ_PATH), {arguments, arguments}, RunEnvironment()))
      EXPECT_EQ(RunProblems(run), "");

    const ProcessResult check = RunProgram(
        QStringLiteral(VALD_ARCHIVE_PATH),
        {QStringLiteral("--archive"), together.Describe(), QStringLiteral("check")}, RunEnvironment());
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    const std::map<QString, QByteArray> archived = ArchivedLines(together);
    const std::map<QString, QByteArray> expectedLines = ArchivedLines(ParseArchiveLocation(alone, QString()));
    EXPECT_EQ(archived.size(), expectedLines.size());
    for (const auto& [key, lines] : expectedLines) {
      const auto found = archived.find(key);
      EXPECT_TRUE(found != archived.end() && found->second == lines)
          << key.toStdString() << ": " << (found == archived.end() ? 0 : found->second.count('\n'))
          << " lines archived for " << lines.count('\n');
    }
    EXPECT_EQ(NotesTold(folder, notes), told);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, TwoRunsAtOnce, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         EngineName);

}  // namespace
