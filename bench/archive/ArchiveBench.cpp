// The archive's speed on an SQLite file: a full 96-block AGATE readout (4902 records) merged into an
// archive of 1 000 000 records, the same readout merged again, a year of one device (100 000 records)
// read and drawn as "Előzmények..." does, the export of 1 000 000 records, and `vald_archive import` of
// a 100 MB measurement file: its lines a second, the archive's bytes a record and the import's peak
// memory; the peak memory of exporting those 3.62 million records in every format, and of carrying an
// archive of the second schema with 1.1 million records over to the present one.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "archive/ArchiveStore.h"
#include "archive/ArchivedLine.h"
#include "core/TextLines.h"
#include "operations/History.h"

namespace {

constexpr int ArchiveRecords = 1'000'000;
constexpr int HistoryRecords = 100'000;
constexpr int ReadoutRecords = 49024 / 10;  // a full 25LC512 log of 10-byte records
const QString BigDevice = QStringLiteral("00:00:00:00:00:01");
const QString YearDevice = QStringLiteral("00:00:00:00:00:02");

// AGATE lines every five minutes from 2020-01-01, numbered from `first`.
QList<QByteArray> Lines(qint64 first, int count) {
  QList<QByteArray> lines;
  lines.reserve(count);
  const QDateTime start(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
  for (qint64 n = first; n < first + count; ++n) {
    QByteArray line = start.addSecs(n * 300).toString(QStringLiteral("yyyy;MM;dd;hh;mm;")).toLatin1();
    line += QByteArray::number(n % 300 / 10) + '.' + QByteArray::number(n % 10) + ';' +
            (n % 50 == 0 ? QByteArray("--;") : QByteArray::number(n % 90) + ".0;");
    lines.append(line);
  }
  return lines;
}

ArchiveReadout Readout(const QString& mac, QList<QByteArray> lines) {
  ArchiveReadout readout;
  readout.device = {mac, mac, 2, QStringLiteral("AGATE"), 2, QStringLiteral("10.0.0.1")};
  readout.readAt = QDateTime(QDate(2024, 1, 1), QTime(0, 0));
  readout.lines = std::move(lines);
  readout.image = QByteArray(512 + 96 * 512, '\0');
  return readout;
}

// One archive for every benchmark, filled once.
struct BenchArchive {
  QTemporaryDir folder;
  ArchiveLocation location;
  BenchArchive() {
    location = ParseArchiveLocation(QStringLiteral("bench.sqlite"), folder.path());
    ArchiveStore store(location);
    constexpr int Chunk = 50'000;
    for (int first = 0; first < ArchiveRecords; first += Chunk)
      store.Merge(Readout(BigDevice, Lines(first, Chunk)));
    store.Merge(Readout(YearDevice, Lines(0, HistoryRecords)));
  }
};

BenchArchive& Archive() {
  static BenchArchive archive;
  return archive;
}

void BM_MergeNewReadoutInto1M(benchmark::State& state) {
  ArchiveStore store(Archive().location);
  qint64 next = ArchiveRecords;
  for (auto _ : state) {
    state.PauseTiming();
    const ArchiveReadout readout = Readout(BigDevice, Lines(next, ReadoutRecords));
    next += ReadoutRecords;
    state.ResumeTiming();
    const MergeResult result = store.Merge(readout);
    if (result.added != ReadoutRecords) state.SkipWithError("records were not added");
  }
  state.SetItemsProcessed(state.iterations() * ReadoutRecords);
}
BENCHMARK(BM_MergeNewReadoutInto1M)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_MergeSameReadoutAgain(benchmark::State& state) {
  ArchiveStore store(Archive().location);
  const ArchiveReadout readout = Readout(BigDevice, Lines(ArchiveRecords / 2, ReadoutRecords));
  for (auto _ : state) {
    if (store.Merge(readout).added != 0) state.SkipWithError("a merged readout added records again");
  }
}
BENCHMARK(BM_MergeSameReadoutAgain)->Unit(benchmark::kMillisecond);

// A site read at once: 200 devices of 3000 records each merged one after another through one writer
// into an archive that starts empty, each readout's records prepared beforehand, as the readout threads
// do while the writer merges. The writer's own share of a site's readout.
void BM_MergeSiteIntoEmptyArchive(benchmark::State& state) {
  constexpr int Devices = 200;
  constexpr int RecordsEach = 3000;
  std::vector<ArchiveReadout> readouts;
  std::vector<ArchivedLines> prepared;
  for (int device = 0; device < Devices; ++device) {
    const QString mac = QStringLiteral("02:00:00:00:%1:%2")
                            .arg(device / 256, 2, 16, QLatin1Char('0'))
                            .arg(device % 256, 2, 16, QLatin1Char('0'));
    readouts.push_back(Readout(mac, Lines(device, RecordsEach)));
    prepared.push_back(PrepareArchivedLines(readouts.back(), QTimeZone::utc()));
  }
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir folder;
    const ArchiveLocation location = ParseArchiveLocation(QStringLiteral("site.sqlite"), folder.path());
    {
      ArchiveStore store(location, ArchiveAccess::ReadWrite, QTimeZone::utc());
      store.PrepareForManyMerges();
      state.ResumeTiming();
      for (int device = 0; device < Devices; ++device)
        store.Merge(readouts[size_t(device)], prepared[size_t(device)]);
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * Devices * RecordsEach);
}
BENCHMARK(BM_MergeSiteIntoEmptyArchive)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HistoryOfAYear(benchmark::State& state) {
  ArchiveStore store(Archive().location);
  const ArchivedDevice device = *store.FindDevice(YearDevice);
  Environment env;
  env.systemDecimalSeparator = '.';
  for (auto _ : state) {
    SharedState shared;
    shared.DecimalSeparatorText = ".";
    WindowModel view;
    const int count =
        ShowArchivedHistory(shared, view, env, store, device, QDate(2020, 1, 1), QDate(2021, 12, 31));
    if (count != HistoryRecords) state.SkipWithError("not every record was drawn");
  }
}
BENCHMARK(BM_HistoryOfAYear)->Unit(benchmark::kMillisecond);

void BM_Export1M(benchmark::State& state) {
  ArchiveStore store(Archive().location);
  const ArchivedDevice device = *store.FindDevice(BigDevice);
  for (auto _ : state) {
    const QList<QByteArray> lines = store.Lines(device.id, "", "");
    QByteArray content;
    for (const QByteArray& line : lines) content.append(line).append("\r\n", 2);
    WriteWholeFile(Archive().folder.filePath(QStringLiteral("export.csv")), content);
    state.SetItemsProcessed(state.items_processed() + lines.size());
  }
}
BENCHMARK(BM_Export1M)->Unit(benchmark::kMillisecond)->Iterations(3);

// A 100 MB AGATE measurement file of 3 620 000 lines, written once.
struct BigFile {
  static constexpr int LineCount = 3'620'000;
  QTemporaryDir folder;
  QString path = folder.filePath(QStringLiteral("20.01.01 00.00 VALD_AGATE.csv"));
  BigFile() {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    constexpr int Chunk = 100'000;
    for (int first = 0; first < LineCount; first += Chunk) {
      QByteArray text;
      for (const QByteArray& line : Lines(first, std::min(Chunk, LineCount - first)))
        text.append(line).append("\r\n");
      file.write(text);
    }
  }
};

const BigFile& TheBigFile() {
  static BigFile file;
  return file;
}

void BM_Import100MBFile(benchmark::State& state) {
  const BigFile& file = TheBigFile();
  qint64 archiveBytes = 0;
  for (auto _ : state) {
    QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("import.sqlite"));
    QProcess import;
    QElapsedTimer timer;
    timer.start();
    import.start(QStringLiteral(VALD_ARCHIVE_TOOL),
                 {QStringLiteral("--archive"), archive, QStringLiteral("--time-zone"), QStringLiteral("UTC"),
                  QStringLiteral("import"), QStringLiteral("--device"), QStringLiteral("00:00:00:00:00:03"),
                  file.path});
    if (!import.waitForFinished(-1) || import.exitCode() != 0) state.SkipWithError("the import failed");
    state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    archiveBytes = QFileInfo(archive).size();
  }
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  state.SetItemsProcessed(state.iterations() * BigFile::LineCount);
  state.counters["file_MB"] = double(QFileInfo(file.path).size()) / 1e6;
  state.counters["archive_MB"] = double(archiveBytes) / 1e6;
  state.counters["bytes_per_record"] = double(archiveBytes) / BigFile::LineCount;
  state.counters["peak_MB"] = double(children.ru_maxrss) / 1024;
}
BENCHMARK(BM_Import100MBFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

// Runs `program` with `arguments`, its output dropped, and gives its peak resident memory in MB;
// nothing when it did not succeed.
std::optional<double> PeakMegabytesOf(const QString& program, const QStringList& arguments) {
  std::vector<QByteArray> texts{program.toLocal8Bit()};
  for (const QString& argument : arguments) texts.push_back(argument.toLocal8Bit());
  std::vector<char*> argv;
  for (QByteArray& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return std::nullopt;
  return double(usage.ru_maxrss) / 1024;
}

// The archive of the 100 MB file's 3 620 000 records, imported once.
struct ImportedArchive {
  QTemporaryDir folder;
  QString path = folder.filePath(QStringLiteral("import.sqlite"));
  ImportedArchive() {
    const BigFile& file = TheBigFile();
    QProcess::execute(QStringLiteral(VALD_ARCHIVE_TOOL),
                      {QStringLiteral("--archive"), path, QStringLiteral("--time-zone"),
                       QStringLiteral("UTC"), QStringLiteral("import"), QStringLiteral("--device"),
                       QStringLiteral("00:00:00:00:00:03"), file.path});
  }
};

const char* const ExportFormats[] = {"file", "csv", "json", "influx", "xlsx"};

// Exports stream: the peak stays the same for any number of records (a workbook of three sheets here).
void BM_ExportPeakMemory(benchmark::State& state) {
  static ImportedArchive archive;
  const QString format = QLatin1String(ExportFormats[state.range(0)]);
  std::optional<double> peak;
  for (auto _ : state) {
    peak = PeakMegabytesOf(
        QStringLiteral(VALD_ARCHIVE_TOOL),
        {QStringLiteral("--archive"), archive.path, QStringLiteral("export"),
         QStringLiteral("00:00:00:00:00:03"), QStringLiteral("--format"), format, QStringLiteral("--out"),
         archive.folder.filePath(QStringLiteral("export.") + format)});
    if (!peak) state.SkipWithError("the export failed");
  }
  state.SetLabel(format.toStdString());
  state.counters["records"] = BigFile::LineCount;
  state.counters["peak_MB"] = peak.value_or(0);
}
BENCHMARK(BM_ExportPeakMemory)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(1);

// An archive of the second schema (tests/archive/data) whose AGATE holds 1 100 000 records more, carried
// over to the present schema by the first import into it.
void BM_MigrationPeakMemory(benchmark::State& state) {
  constexpr int Records = 1'100'000;
  std::optional<double> peak;
  for (auto _ : state) {
    state.PauseTiming();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("schema2.sqlite"));
    QFile::copy(QStringLiteral(VALD_SCHEMA2_ARCHIVE), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
      db.setDatabaseName(path);
      db.open();
      QString values;
      for (int channel = 1; channel <= 16; ++channel)
        values += channel <= 2 ? QStringLiteral(", n % 30") : QStringLiteral(", NULL");
      QSqlQuery(db).exec(
          QStringLiteral(
              "WITH RECURSIVE n(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM n WHERE n < %1), "
              "t(n, time) AS (SELECT n, datetime('2010-01-01', '+' || (n * 5) || ' minutes') FROM n) "
              "INSERT INTO records SELECT 3, time, datetime(time, '-1 hours'), 0, 0, (n % 30) || ';' || (n % "
              "30), "
              "CAST(strftime('%Y;%m;%d;%H;%M;', time) || (n % 30) || ';' || (n % 30) || ';' AS BLOB), NULL%2 "
              "FROM t")
              .arg(Records - 1)
              .arg(values));
      db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    QFile small(folder.filePath(QStringLiteral("24.03.01 00.00 VALD_AGATE.csv")));
    small.open(QIODevice::WriteOnly);
    small.write("2024;03;01;00;00;20,5;21,0;\r\n");
    small.close();
    state.ResumeTiming();
    peak =
        PeakMegabytesOf(QStringLiteral(VALD_ARCHIVE_TOOL),
                        {QStringLiteral("--archive"), path, QStringLiteral("--time-zone"),
                         QStringLiteral("Europe/Budapest"), QStringLiteral("import"),
                         QStringLiteral("--device"), QStringLiteral("00:1A:2B:3C:4D:01"), small.fileName()});
    if (!peak) state.SkipWithError("the migration failed");
  }
  state.counters["records"] = Records;
  state.counters["peak_MB"] = peak.value_or(0);
}
BENCHMARK(BM_MigrationPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
