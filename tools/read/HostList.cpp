#include "HostList.h"

#include <QHash>
#include <QHostAddress>
#include <QSet>
#include <algorithm>

#include "core/EditedTextFile.h"
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
  throw FileLineError(fileName, lineIndex, error.Message());
}

HostEntry EntryWithPort(const QString& text, const QString& host, const QString& port) {
  CheckHost(host, text);
  const uint16_t number = ParsePort(port);
  return {text, host, number, host + QLatin1Char('_') + QString::number(number)};
}

// "[IPv6]" or "[IPv6]:PORT".
HostEntry ParseBracketedEntry(const QString& text, uint16_t defaultPort) {
  const qsizetype close = text.indexOf(QLatin1Char(']'));
  const QString host = text.mid(1, close - 1);
  if (close < 0 || QHostAddress(host).protocol() != QAbstractSocket::IPv6Protocol) {
    throw ValdError(QStringLiteral("\"%1\" is no [IPv6 address] or [IPv6 address]:PORT").arg(text));
  }
  const QString rest = text.mid(close + 1);
  if (rest.isEmpty()) {
    CheckHost(host, text);
    return {text, host, defaultPort, host};
  }
  if (!rest.startsWith(QLatin1Char(':'))) {
    throw ValdError(QStringLiteral("\"%1\" is no [IPv6 address] or [IPv6 address]:PORT").arg(text));
  }
  return EntryWithPort(text, host, rest.mid(1));
}

// The device an entry reaches: its address as the link reads it (so "127.000.002.002" is 127.0.2.2, and
// "::ffff:127.0.2.2" too), or its name, and the port.
QString DeviceOf(const HostEntry& entry) {
  QHostAddress address(entry.host);
  bool ipv4 = false;
  const quint32 ipv4Address = address.toIPv4Address(&ipv4);
  if (ipv4) address.setAddress(ipv4Address);
  const QString host = address.isNull() ? entry.host.toLower() : address.toString();
  return QStringLiteral("%1 port %2").arg(host).arg(entry.port);
}

}  // namespace

HostEntry ParseHostEntry(const QString& text, uint16_t defaultPort) {
  if (text.startsWith(QLatin1Char('['))) return ParseBracketedEntry(text, defaultPort);
  if (text.count(QLatin1Char(':')) == 1) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    return EntryWithPort(text, text.first(colon), text.mid(colon + 1));
  }
  CheckHost(text, text);
  return {text, text, defaultPort, text};
}

QList<HostEntry> ParseHostsFile(const QString& path, uint16_t defaultPort) {
  const TextLines lines = ReadEditedFile(path);
  QList<HostEntry> entries;
  for (int i = 0; i < lines.Count(); ++i) {
    const QByteArray& line = lines.Get(i);
    const QString text =
        FromWin1250(line.first(line.contains('#') ? line.indexOf('#') : line.size())).trimmed();
    if (text.isEmpty()) continue;
    try {
      entries.append(ParseHostEntry(text, defaultPort));
    } catch (const ValdError& error) {
      ThrowAtLine(path, i, error);
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

HostList CollectHosts(const QStringList& hosts, const QStringList& hostsFiles, const QStringList& configFiles,
                      uint16_t defaultPort) {
  QList<HostEntry> entries;
  for (const QString& host : hosts) {
    try {
      entries.append(ParseHostEntry(host, defaultPort));
    } catch (const ValdError& error) {
      throw ValdError(QStringLiteral("Bad host: %1").arg(error.Message()));
    }
  }
  for (const QString& file : hostsFiles) entries += ParseHostsFile(file, defaultPort);
  for (const QString& file : configFiles) entries += HostsOfSettings(ReadEditedFile(file), file, defaultPort);
  if (entries.isEmpty()) throw ValdError(QStringLiteral("No device address given."));

  // A device is read once: one given again under another spelling is left out. Every device writes
  // into a folder of its own; a device listed twice would be read twice at once.
  HostList list;
  QSet<QString> given;
  QHash<QString, QString> entryOfDevice;
  QHash<QString, QString> entryOfFolder;
  for (const HostEntry& entry : entries) {
    if (given.contains(entry.given))
      throw ValdError(QStringLiteral("\"%1\" is listed twice.").arg(entry.given));
    given.insert(entry.given);
    const QString device = DeviceOf(entry);
    if (const auto first = entryOfDevice.constFind(device); first != entryOfDevice.constEnd()) {
      list.warnings << QStringLiteral("\"%1\" is the device \"%2\" again (%3): it is read once.")
                           .arg(entry.given, *first, device);
      continue;
    }
    entryOfDevice.insert(device, entry.given);
    if (const auto other = entryOfFolder.constFind(entry.folder); other != entryOfFolder.constEnd()) {
      throw ValdError(QStringLiteral("\"%1\" and \"%2\" would write into the same folder \"%3\".")
                          .arg(*other, entry.given, entry.folder));
    }
    entryOfFolder.insert(entry.folder, entry.given);
    list.entries.append(entry);
  }
  return list;
}
