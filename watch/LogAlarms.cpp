#include "watch/LogAlarms.h"

#include <QCoreApplication>

LogAlarms FindLogAlarms(const RecordLog& log, const DeviceType& type, const LimitRules& rules,
                        const DeviceNames& names) {
  LogAlarms found;
  found.device = names.mac.isEmpty() ? names.host : names.mac;
  found.type = &type;
  found.alarms = FindAlarms(log, type, rules.LimitsOf(names, type));
  found.rulesNaming = rules.RulesNaming(names, type);
  found.isNew.assign(found.alarms.size(), true);
  for (const Alarm& alarm : found.alarms) found.isNewClear.push_back(!alarm.open);
  return found;
}

QString QuantityValueText(double value, const Quantity& quantity, char decimalSeparator) {
  QString text = QString::number(value, 'g', 12);
  if (decimalSeparator != '.') text.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
  const QString unit = QString::fromUtf8(quantity.unit);
  return unit.isEmpty() ? text : text + QLatin1Char(' ') + unit;
}

QString AlarmText(const Alarm& alarm, const DeviceType& type, char decimalSeparator, QuantityNaming naming) {
  const Quantity& quantity = QuantityOf(type.columns[size_t(alarm.column)]);
  const QString side = alarm.side == LimitSide::Low
                           ? QCoreApplication::translate("LogAlarms", "az alsó határ alatt")
                           : QCoreApplication::translate("LogAlarms", "a felső határ felett");
  return QCoreApplication::translate("LogAlarms",
                                     "%1. csatorna (%2) %3 %4: %5 – %6, %7 rekord, szélsőérték %8")
      .arg(alarm.column + 1)
      .arg(naming == QuantityNaming::Key ? QString::fromLatin1(quantity.key) : QuantityCaption(quantity),
           side, QuantityValueText(alarm.limit, quantity, decimalSeparator), RecordTimeText(alarm.start),
           RecordTimeText(alarm.end))
      .arg(alarm.records)
      .arg(QuantityValueText(alarm.extreme, quantity, decimalSeparator));
}
