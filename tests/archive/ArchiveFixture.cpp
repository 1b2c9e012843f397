#include "ArchiveFixture.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <atomic>
#include <stdexcept>

namespace {

QSqlDatabase Connect(const ArchiveLocation& location, const QString& name) {
  if (location.engine == ArchiveLocation::Engine::SQLite) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(location.path);
    return db;
  }
  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
  db.setHostName(location.host);
  db.setPort(location.port);
  db.setUserName(location.user);
  db.setDatabaseName(location.database);
  return db;
}

// Runs `work` on a connection of its own that is gone afterwards.
template <typename Work>
void WithConnection(const ArchiveLocation& location, Work work) {
  static std::atomic<int> counter{0};
  const QString name = QStringLiteral("archive_test_%1").arg(counter++);
  {
    QSqlDatabase db = Connect(location, name);
    if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
    work(db);
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
}

}  // namespace

void ArchiveTest::SetUp() {
  if (GetParam() == Engine::SQLite) {
    location = ParseArchiveLocation(QStringLiteral("archive.sqlite"), folder.Path());
    return;
  }
  const QByteArray url = qgetenv("VALD_TEST_POSTGRES_URL");
  if (url.isEmpty()) {
    GTEST_SKIP() << "VALD_TEST_POSTGRES_URL is not set: the PostgreSQL archive tests need a server "
                    "(run them through scripts/with-postgres.sh, as scripts/test.sh does)";
  }
  const ArchiveLocation server = ParseArchiveLocation(QString::fromUtf8(url), QString());
  // A database of its own per test, so that tests running at once do not meet.
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const QByteArray testName = QByteArray(test->test_suite_name()) + '.' + test->name();
  const QString database =
      QStringLiteral("t_") +
      QString::fromLatin1(QCryptographicHash::hash(testName, QCryptographicHash::Md5).toHex());
  WithConnection(server, [&](QSqlDatabase& db) {
    QSqlQuery query(db);
    ASSERT_TRUE(query.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(database)))
        << query.lastError().text().toStdString();
    ASSERT_TRUE(query.exec(QStringLiteral("CREATE DATABASE %1").arg(database)))
        << query.lastError().text().toStdString();
  });
  location = server;
  location.database = database;
}

std::string EngineName(const testing::TestParamInfo<Engine>& info) {
  return info.param == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

QList<QByteArray> AgateLines(int first, int count) {
  QList<QByteArray> lines;
  const QDateTime start(QDate(2024, 3, 1), QTime(0, 0), Qt::UTC);
  for (int n = first; n < first + count; ++n) {
    const QDateTime time = start.addSecs(qint64(n) * 600);
    QByteArray line = time.toString(QStringLiteral("yyyy;MM;dd;hh;mm;")).toLatin1();
    line += QByteArray::number(n % 300 / 10) + ',' + QByteArray::number(n % 10) + ';';
    line += n % 7 == 0 ? QByteArray("--;") : QByteArray::number(n % 90) + ",0;";
    lines.append(line);
  }
  return lines;
}

ArchiveReadout AgateReadout(const QList<QByteArray>& lines, const QString& mac) {
  ArchiveReadout readout;
  readout.device.mac = mac;
  readout.device.key = mac.isEmpty() ? QStringLiteral("10.0.0.7/2") : mac;
  readout.device.deviceCode = 2;
  readout.device.deviceType = QStringLiteral("AGATE");
  readout.device.chipCode = 1;
  readout.device.address = QStringLiteral("10.0.0.7");
  readout.readAt = QDateTime(QDate(2024, 4, 1), QTime(12, 0));
  readout.lines = lines;
  return readout;
}

namespace {

void CopyArchiveFile(const QString& name, const QString& path) {
  if (!QFile::copy(QStringLiteral(VALD_ARCHIVE_TEST_DATA "/") + name, path) ||
      !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
    throw std::runtime_error("the archive " + name.toStdString() + " could not be copied");
}

}  // namespace

void LoadSchemaTwoArchive(const QString& path) {
  CopyArchiveFile(QStringLiteral("schema2.sqlite"), path);
}

void LoadSchemaOneArchive(const ArchiveLocation& location) {
  const QString data = QStringLiteral(VALD_ARCHIVE_TEST_DATA);
  if (location.engine == ArchiveLocation::Engine::SQLite) {
    CopyArchiveFile(QStringLiteral("schema1.sqlite"), location.path);
    return;
  }
  QFile dump(data + QStringLiteral("/schema1-postgresql.sql"));
  if (!dump.open(QIODevice::ReadOnly)) throw std::runtime_error("no schema 1 dump");
  // The dump's statements each end a line with ";".
  const QList<QByteArray> statements = dump.readAll().split('\n');
  QStringList batch;
  QString statement;
  for (const QByteArray& line : statements) {
    statement += QString::fromUtf8(line) + QLatin1Char('\n');
    if (line.endsWith(';')) {
      batch << statement;
      statement.clear();
    }
  }
  WithConnection(location, [&](QSqlDatabase& db) {
    QSqlQuery query(db);
    for (const QString& sql : batch) {
      if (!query.exec(sql)) throw std::runtime_error(query.lastError().text().toStdString());
    }
  });
}

QList<QVariantList> QueryArchive(const ArchiveLocation& location, const QString& sql) {
  QList<QVariantList> rows;
  WithConnection(location, [&](QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!query.exec(sql)) throw std::runtime_error(query.lastError().text().toStdString());
    const int columns = query.record().count();
    while (query.next()) {
      QVariantList row;
      for (int i = 0; i < columns; ++i) row.append(query.value(i));
      rows.append(row);
    }
  });
  return rows;
}
