#pragma once

#include <QString>

// Where the archive is: nowhere ("off"), an SQLite file, or a PostgreSQL database. A server connection
// never carries a password: libpq takes it from PGPASSWORD or ~/.pgpass.
struct ArchiveLocation {
  enum class Engine { Off, SQLite, PostgreSQL };
  Engine engine = Engine::Off;
  QString path;  // SQLite: the archive file
  // PostgreSQL: the parts of "postgresql://user@host:port/dbname?key=value&..."
  QString host;
  int port = 5432;
  QString user;
  QString database;
  QString connectOptions;  // libpq options from the query, "key=value;key=value"

  bool IsOff() const { return engine == Engine::Off; }
  // The location as messages name it: the file path or the URL.
  QString Describe() const;
};

inline constexpr char DefaultArchiveFileName[] = "archive.sqlite";

// "off" (any letter case) or empty: no archive; "postgresql://..." or "postgres://...": a server; anything
// else an SQLite file, a relative path taken from `folder`. Throws ValdError for a server URL it cannot
// read.
ArchiveLocation ParseArchiveLocation(const QString& text, const QString& folder);
