#include "watch/LimitRules.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <tuple>

#include "core/EditedTextFile.h"
#include "core/NumberReading.h"
#include "core/TextLines.h"

namespace {

bool IsMac(const QString& text) {
  static const QRegularExpression mac(QStringLiteral("^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2}){5}$"));
  return mac.match(text).hasMatch();
}

bool IsTypeName(const QString& text) {
  for (const DeviceType& row : DeviceTypeTable()) {
    if (text.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

bool IsQuantityKey(const QString& text) {
  if (text == QLatin1String(QuantityOf('X').key)) return true;
  for (const Quantity& quantity : QuantityTable()) {
    if (text == QLatin1String(quantity.key)) return true;
  }
  return false;
}

// A host names a folder of vald_read's files, so it has no blank and no path separator.
bool IsHost(const QString& text) {
  static const QRegularExpression host(QStringLiteral("^[0-9A-Za-z._:\\[\\]-]+$"));
  return host.match(text).hasMatch();
}

// Type names are words of capital letters; a host is seldom written so.
bool LooksLikeTypeName(const QString& text) {
  static const QRegularExpression word(QStringLiteral("^[A-Z]+$"));
  return word.match(text).hasMatch();
}

// "HOST:PORT" or "[IPv6]:PORT" as a host and its port, as the hosts file writes a device of its own
// port; any other host (an IPv6 address without brackets too) as it is, with port 0.
std::pair<QString, int> HostAndPort(const QString& text) {
  static const QRegularExpression withPort(QStringLiteral("^(\\[[^\\]]+\\]|[^:\\[\\]]+):([0-9]{1,5})$"));
  const QRegularExpressionMatch match = withPort.match(text);
  if (!match.hasMatch()) return {text, 0};
  QString host = match.captured(1);
  if (host.startsWith(QLatin1Char('['))) host = host.mid(1, host.size() - 2);
  return {host, match.captured(2).toInt()};
}

// DELAY or HYSTERESIS: empty for 0, else a number of at least 0.
double ReadMargin(const QByteArray& field, const QString& name, QString& error) {
  if (field.trimmed().isEmpty()) return 0;
  const std::optional<double> value = ReadNumber(field, '.');
  if (!value || *value < 0)
    error =
        QStringLiteral("%1 \"%2\" is no number of at least 0 (\".\" before the decimals)").arg(name, field);
  return value.value_or(0);
}

std::optional<double> ReadLimit(const QByteArray& field, const QString& side, QString& error) {
  if (field.trimmed().isEmpty()) return std::nullopt;
  const std::optional<double> value = ReadNumber(field, '.');
  if (!value) error = QStringLiteral("%1 \"%2\" is no number (\".\" before the decimals)").arg(side, field);
  return value;
}

LimitRule ReadRule(const QByteArray& line, QString& error) {
  QList<QByteArray> fields = line.split(';');
  // A closing ";" after the last field, as the measurement files close their columns, is allowed.
  if ((fields.size() == 5 || fields.size() == 7) && fields.last().trimmed().isEmpty()) fields.removeLast();
  if (fields.size() != 4 && fields.size() != 6) {
    error = QStringLiteral(
                "expected DEVICE;CHANNEL;LOW;HIGH or DEVICE;CHANNEL;LOW;HIGH;DELAY;HYSTERESIS, "
                "found %1 fields")
                .arg(fields.size());
    return {};
  }
  LimitRule rule;
  const QString device = QString::fromUtf8(fields[0].trimmed());
  if (device == QLatin1String("*")) {
    rule.match = DeviceMatch::Any;
  } else if (IsMac(device)) {
    rule.match = DeviceMatch::Mac;
    rule.device = device.toUpper();
  } else if (IsTypeName(device)) {
    rule.match = DeviceMatch::Type;
    rule.device = device.toUpper();
  } else if (LooksLikeTypeName(device)) {
    error = QStringLiteral("\"%1\" is no device type (a host is written in small letters or as an address)")
                .arg(device);
    return {};
  } else if (IsHost(device)) {
    rule.match = DeviceMatch::Host;
    std::tie(rule.device, rule.port) = HostAndPort(device);
  } else {
    error = QStringLiteral("\"%1\" is no MAC address, host, device type or *").arg(device);
    return {};
  }
  const QString channel = QString::fromUtf8(fields[1].trimmed());
  bool number = false;
  rule.column = channel.toInt(&number);
  if (number) {
    if (rule.column < 1) {
      error = QStringLiteral("channel %1: the value columns count from 1").arg(channel);
      return {};
    }
  } else if (IsQuantityKey(channel)) {
    rule.column = 0;
    rule.quantity = channel;
  } else {
    error = QStringLiteral("\"%1\" is no channel number and no quantity (temperature, humidity, co2 ...)")
                .arg(channel);
    return {};
  }
  rule.limit.low = ReadLimit(fields[2], QStringLiteral("LOW"), error);
  if (!error.isEmpty()) return {};
  rule.limit.high = ReadLimit(fields[3], QStringLiteral("HIGH"), error);
  if (!error.isEmpty()) return {};
  if (!rule.limit.IsSet()) {
    error = QStringLiteral("neither LOW nor HIGH is given");
  } else if (rule.limit.low && rule.limit.high && *rule.limit.low > *rule.limit.high) {
    error = QStringLiteral("LOW is above HIGH");
  }
  if (!error.isEmpty() || fields.size() == 4) return rule;
  rule.limit.delayMinutes = ReadMargin(fields[4], QStringLiteral("DELAY"), error);
  if (!error.isEmpty()) return {};
  rule.limit.hysteresis = ReadMargin(fields[5], QStringLiteral("HYSTERESIS"), error);
  return rule;
}

bool NamesDevice(const LimitRule& rule, const DeviceNames& device) {
  switch (rule.match) {
    case DeviceMatch::Any:
      return true;
    case DeviceMatch::Type:
      return rule.device.compare(device.type, Qt::CaseInsensitive) == 0;
    case DeviceMatch::Host:
      return rule.device.compare(device.host, Qt::CaseInsensitive) == 0 &&
             (rule.port == 0 || rule.port == device.port);
    case DeviceMatch::Mac:
      return rule.device.compare(device.mac, Qt::CaseInsensitive) == 0;
  }
  return false;
}

bool NamesColumn(const LimitRule& rule, const DeviceType& type, int column) {
  if (rule.column > 0) return rule.column == column + 1;
  return rule.quantity == QLatin1String(QuantityOf(type.columns[size_t(column)]).key);
}

}  // namespace

bool LimitRules::NameMacs() const {
  return std::any_of(rules_.begin(), rules_.end(),
                     [](const LimitRule& rule) { return rule.match == DeviceMatch::Mac; });
}

ChannelLimit LimitRules::LimitOf(const DeviceNames& device, const DeviceType& type, int column) const {
  const LimitRule* chosen = nullptr;
  const auto rank = [](const LimitRule& rule) {
    return std::tuple(int(rule.match), rule.column > 0, rule.line);
  };
  for (const LimitRule& rule : rules_) {
    if (!NamesDevice(rule, device) || !NamesColumn(rule, type, column)) continue;
    if (!chosen || rank(rule) > rank(*chosen)) chosen = &rule;
  }
  return chosen ? chosen->limit : ChannelLimit{};
}

std::vector<ChannelLimit> LimitRules::LimitsOf(const DeviceNames& device, const DeviceType& type) const {
  std::vector<ChannelLimit> limits;
  for (int column = 0; column < type.ValueColumns(); ++column)
    limits.push_back(LimitOf(device, type, column));
  return limits;
}

std::vector<size_t> LimitRules::RulesNaming(const DeviceNames& device, const DeviceType& type) const {
  std::vector<size_t> naming;
  for (size_t i = 0; i < rules_.size(); ++i) {
    if (!NamesDevice(rules_[i], device)) continue;
    for (int column = 0; column < type.ValueColumns(); ++column) {
      if (NamesColumn(rules_[i], type, column)) {
        naming.push_back(i);
        break;
      }
    }
  }
  return naming;
}

LimitRules ReadLimitRules(const QByteArray& content, const QString& fileName) {
  const TextLines lines = EditedFileLines(content);
  CheckEditedLines(lines, fileName);
  return ReadLimitRules(lines, fileName);
}

LimitRules ReadLimitRules(const TextLines& lines, const QString& fileName) {
  std::vector<LimitRule> rules;
  for (int i = 0; i < lines.Count(); ++i) {
    QByteArray line = lines.Get(i);
    if (const qsizetype comment = line.indexOf('#'); comment >= 0) line.truncate(comment);
    if (line.trimmed().isEmpty()) continue;
    QString error;
    LimitRule rule = ReadRule(line, error);
    if (!error.isEmpty()) throw FileLineError(fileName, i, error);
    rule.line = i + 1;
    rule.text = QString::fromUtf8(line.trimmed());
    rules.push_back(std::move(rule));
  }
  return LimitRules(std::move(rules));
}

LimitRules LoadLimitRules(const QString& path) {
  if (!QFileInfo::exists(path)) return {};
  return ReadLimitsFile(path);
}

LimitRules ReadLimitsFile(const QString& path) {
  return ReadLimitRules(ReadEditedFile(path), path);
}
