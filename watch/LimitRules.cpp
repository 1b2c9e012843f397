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

std::optional<double> ReadLimit(const QByteArray& field, const QString& side, QString& error) {
  if (field.trimmed().isEmpty()) return std::nullopt;
  const std::optional<double> value = ReadNumber(field, '.');
  if (!value) error = QStringLiteral("%1 \"%2\" is no number (\".\" before the decimals)").arg(side, field);
  return value;
}

LimitRule ReadRule(const QByteArray& line, QString& error) {
  QList<QByteArray> fields = line.split(';');
  // A closing ";" after HIGH, as the measurement files close their columns, is allowed.
  if (fields.size() == 5 && fields[4].trimmed().isEmpty()) fields.removeLast();
  if (fields.size() != 4) {
    error = QStringLiteral("expected DEVICE;CHANNEL;LOW;HIGH, found %1 fields").arg(fields.size());
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
  } else if (IsHost(device)) {
    rule.match = DeviceMatch::Host;
    rule.device = device;
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
  return rule;
}

bool NamesDevice(const LimitRule& rule, const DeviceNames& device) {
  switch (rule.match) {
    case DeviceMatch::Any:
      return true;
    case DeviceMatch::Type:
      return rule.device.compare(device.type, Qt::CaseInsensitive) == 0;
    case DeviceMatch::Host:
      return rule.device.compare(device.host, Qt::CaseInsensitive) == 0;
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

LimitRules ReadLimitRules(const QByteArray& content, const QString& fileName) {
  const TextLines lines = EditedFileLines(content);
  CheckEditedLines(lines, fileName);
  std::vector<LimitRule> rules;
  for (int i = 0; i < lines.Count(); ++i) {
    QByteArray line = lines.Get(i);
    if (const qsizetype comment = line.indexOf('#'); comment >= 0) line.truncate(comment);
    if (line.trimmed().isEmpty()) continue;
    QString error;
    LimitRule rule = ReadRule(line, error);
    if (!error.isEmpty()) throw FileLineError(fileName, i, error);
    rule.line = i + 1;
    rules.push_back(std::move(rule));
  }
  return LimitRules(std::move(rules));
}

LimitRules LoadLimitRules(const QString& path) {
  if (!QFileInfo::exists(path)) return {};
  return ReadLimitRules(ReadWholeFile(path), path);
}
