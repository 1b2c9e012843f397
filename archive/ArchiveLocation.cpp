#include "archive/ArchiveLocation.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

#include "core/ValdError.h"

QString ArchiveLocation::Describe() const {
  switch (engine) {
    case Engine::Off:
      return QStringLiteral("off");
    case Engine::SQLite:
      return path;
    case Engine::PostgreSQL:
      break;
  }
  QString text = QStringLiteral("postgresql://");
  if (!user.isEmpty()) text += user + QLatin1Char('@');
  return text + host + QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + database;
}

ArchiveLocation ParseArchiveLocation(const QString& text, const QString& folder) {
  ArchiveLocation location;
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty() || trimmed.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0) return location;
  if (!trimmed.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive) &&
      !trimmed.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive)) {
    location.engine = ArchiveLocation::Engine::SQLite;
    location.path = QDir(folder.isEmpty() ? QStringLiteral(".") : folder).filePath(trimmed);
    return location;
  }
  const QUrl url(trimmed, QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty() || url.path().size() < 2) {
    throw ValdError(QStringLiteral("Bad archive address \"%1\": expected "
                                   "postgresql://user@host:port/dbname?sslmode=...")
                        .arg(trimmed));
  }
  if (!url.password().isEmpty()) {
    throw ValdError(QStringLiteral("Bad archive address \"%1\": give the password in PGPASSWORD or "
                                   "~/.pgpass, not in the address")
                        .arg(url.toString(QUrl::RemovePassword)));
  }
  location.engine = ArchiveLocation::Engine::PostgreSQL;
  location.host = url.host();
  location.port = url.port(5432);
  location.user = url.userName();
  location.database = url.path().mid(1);
  QStringList options;
  for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
    options << key + QLatin1Char('=') + value;
  }
  location.connectOptions = options.join(QLatin1Char(';'));
  return location;
}
