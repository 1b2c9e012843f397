#include "HostList.h"

#include <QHash>
#include <algorithm>

#include "core/ValdError.h"
#include "core/Win1250.h"
#include "settings/SettingsFile.h"

namespace {

constexpr int ConfigAddressCount = 5;

uint16_t ParsePort(const QString& text) {
  bool ok = false;
  const uint port = text.toUInt(&ok);
  // toUInt takes a sign and blanks; a port is digits only.
  const bool digitsOnly = std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
  if (!ok || !digitsOnly || port == 0 || port > 65535) {
    throw ValdError(QStringLiteral("bad port \"%1\" (expected a number from 1 to 65535)").arg(text));
  }
  return uint16_t(port);
}

// The host becomes a folder name: nothing in it may climb out of the output folder or split it.
void CheckHost(const QString& host, const QString& entry) {
  if (host.isEmpty()) throw ValdError(QStringLiteral("no host in \"%1\"").arg(entry));
  if (std::any_of(host.begin(), host.end(), [](QChar c) { return c.isSpace() || !c.isPrint(); })) {
    throw ValdError(QStringLiteral("\"%1\" holds a blank or a control character").arg(entry));
  }
  if (host.contains(QLatin1Char('/')) || host.contains(QLatin1Char('\\'))) {
    throw ValdError(QStringLiteral("\"%1\" holds a path separator").arg(entry));
  }
  if (host == QLatin1String(".") || host == QLatin1String("..")) {
    throw ValdError(QStringLiteral("\"%1\" is no host").arg(entry));
  }
}

[[noreturn]] void ThrowAtLine(const QString& fileName, int lineIndex, const ValdError& error) {
  throw ValdError(QStringLiteral("%1 line %2: %3").arg(fileName).arg(lineIndex + 1).arg(error.Message()));
}

}  // namespace

HostEntry ParseHostEntry(const QString& text, uint16_t defaultPort) {
  HostEntry entry{text, text, defaultPort, text};
  if (text.count(QLatin1Char(':')) == 1) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    entry.host = text.first(colon);
    CheckHost(entry.host, text);
    entry.port = ParsePort(text.mid(colon + 1));
    entry.folder = entry.host + QLatin1Char('_') + QString::number(entry.port);
    return entry;
  }
  CheckHost(entry.host, text);
  return entry;
}

QList<HostEntry> ParseHostsFile(const QByteArray& content, const QString& fileName, uint16_t defaultPort) {
  TextLines lines;
  lines.SetText(content);
  QList<HostEntry> entries;
  for (int i = 0; i < lines.Count(); ++i) {
    const QByteArray& line = lines.Get(i);
    const QString text =
        FromWin1250(line.first(line.contains('#') ? line.indexOf('#') : line.size())).trimmed();
    if (text.isEmpty()) continue;
    try {
      entries.append(ParseHostEntry(text, defaultPort));
    } catch (const ValdError& error) {
      ThrowAtLine(fileName, i, error);
    }
  }
  return entries;
}

QList<HostEntry> HostsOfSettings(const TextLines& settings, const QString& fileName, uint16_t defaultPort) {
  uint16_t port = defaultPort;
  try {
    if (const std::optional<int> configured = ReadIntegerSetting(settings, "UDPport")) {
      if (*configured < 1 || *configured > 65535) {
        throw ValdError(QStringLiteral("'%1' is not a valid UDP port").arg(*configured));
      }
      port = uint16_t(*configured);
    }
  } catch (const ValdError& error) {
    ThrowAtLine(fileName, SettingLineIndex(settings, "UDPport"), error);
  }
  QList<HostEntry> entries;
  for (int i = 1; i <= ConfigAddressCount; ++i) {
    const QByteArray key = "ip" + QByteArray::number(i);
    const QString address = FromWin1250(ReadSetting(settings, key).value_or(QByteArray())).trimmed();
    if (address.isEmpty()) continue;
    try {
      entries.append(ParseHostEntry(address, port));
    } catch (const ValdError& error) {
      ThrowAtLine(fileName, SettingLineIndex(settings, key), error);
    }
  }
  return entries;
}

QList<HostEntry> CollectHosts(const QStringList& hosts, const QStringList& hostsFiles,
                              const QStringList& configFiles, uint16_t defaultPort) {
  QList<HostEntry> entries;
  for (const QString& host : hosts) {
    try {
      entries.append(ParseHostEntry(host, defaultPort));
    } catch (const ValdError& error) {
      throw ValdError(QStringLiteral("Bad host: %1").arg(error.Message()));
    }
  }
  for (const QString& file : hostsFiles) entries += ParseHostsFile(ReadWholeFile(file), file, defaultPort);
  for (const QString& file : configFiles) {
    TextLines settings;
    settings.LoadFromFile(file);
    entries += HostsOfSettings(settings, file, defaultPort);
  }
  if (entries.isEmpty()) throw ValdError(QStringLiteral("No device address given."));

  // Every device writes into a folder of its own; a device listed twice would be read twice at once.
  QHash<QString, QString> entryOfFolder;
  for (const HostEntry& entry : entries) {
    if (const auto other = entryOfFolder.constFind(entry.folder); other != entryOfFolder.constEnd()) {
      if (*other == entry.given) throw ValdError(QStringLiteral("\"%1\" is listed twice.").arg(entry.given));
      throw ValdError(QStringLiteral("\"%1\" and \"%2\" would write into the same folder \"%3\".")
                          .arg(*other, entry.given, entry.folder));
    }
    entryOfFolder.insert(entry.folder, entry.given);
  }
  return entries;
}
