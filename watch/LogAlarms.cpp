#include "watch/LogAlarms.h"

LogAlarms FindLogAlarms(const RecordLog& log, const DeviceType& type, const LimitRules& rules,
                        const DeviceNames& names) {
  LogAlarms found;
  found.device = names.mac.isEmpty() ? names.host : names.mac;
  found.type = &type;
  found.alarms = FindAlarms(log, type, rules.LimitsOf(names, type));
  found.isNew.assign(found.alarms.size(), true);
  return found;
}

QString QuantityValueText(double value, const Quantity& quantity, char decimalSeparator) {
  QString text = QString::number(value, 'g', 12);
  if (decimalSeparator != '.') text.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
  const QString unit = QString::fromUtf8(quantity.unit);
  return unit.isEmpty() ? text : text + QLatin1Char(' ') + unit;
}

QString AlarmText(const Alarm& alarm, const DeviceType& type) {
  const Quantity& quantity = QuantityOf(type.columns[size_t(alarm.column)]);
  return QStringLiteral("channel %1 (%2) %3 %4 from %5 to %6, %7 records, extreme %8")
      .arg(alarm.column + 1)
      .arg(QString::fromLatin1(quantity.key),
           alarm.side == LimitSide::Low ? QStringLiteral("below") : QStringLiteral("above"),
           QuantityValueText(alarm.limit, quantity), RecordTimeText(alarm.start), RecordTimeText(alarm.end))
      .arg(alarm.records)
      .arg(QuantityValueText(alarm.extreme, quantity));
}

QString AlarmTextHu(const Alarm& alarm, const DeviceType& type, char decimalSeparator) {
  const Quantity& quantity = QuantityOf(type.columns[size_t(alarm.column)]);
  return QStringLiteral("%1. csatorna (%2) %3 %4: %5 – %6, %7 rekord, szélsőérték %8")
      .arg(alarm.column + 1)
      .arg(QString::fromUtf8(quantity.labelHu),
           alarm.side == LimitSide::Low ? QStringLiteral("az alsó határ alatt")
                                        : QStringLiteral("a felső határ felett"),
           QuantityValueText(alarm.limit, quantity, decimalSeparator), RecordTimeText(alarm.start),
           RecordTimeText(alarm.end))
      .arg(alarm.records)
      .arg(QuantityValueText(alarm.extreme, quantity, decimalSeparator));
}
