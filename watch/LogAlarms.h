#pragma once

#include <QString>
#include <algorithm>
#include <vector>

#include "core/LogRecord.h"
#include "watch/AlarmRuns.h"
#include "watch/LimitRules.h"

// The alarms of one log, and which of them nobody was told of yet.
struct LogAlarms {
  QString device;                    // how reports name the device: its MAC address, else its host
  QString deviceKey;                 // how the archive knows the device; empty: the alarms are not kept
  const DeviceType* type = nullptr;  // the device's catalogue row
  std::vector<Alarm> alarms;
  std::vector<bool> isNew;          // per alarm: not reported before
  std::vector<bool> isNewClear;     // per alarm: it is over, and its all-clear was not reported before
  QTimeZone zone;                   // the device's time zone, which its time stamps are read in
  std::vector<size_t> rulesNaming;  // the rules (LimitRules::Rules) that name the device and a channel of it

  int NewCount() const { return int(std::count(isNew.begin(), isNew.end(), true)); }
};

// The alarms of a log in time order, for the device its names name, every one of them new, and the
// all-clear of every one that is over new as well. `type` is a
// row of the catalogue (DeviceTypeTable), which outlives the alarms.
LogAlarms FindLogAlarms(const RecordLog& log, const DeviceType& type, const LimitRules& rules,
                        const DeviceNames& names);

// A value in its quantity's unit: "9.1 °C", "12.5 kW", with the decimal separator given.
QString QuantityValueText(double value, const Quantity& quantity, char decimalSeparator = '.');

// How an alarm names the quantity of its channel: by its caption, as the window does, or by the key
// that vald_read's JSON and its notify command name it by.
enum class QuantityNaming { Caption, Key };

// One alarm on a line, in the installed translation's language: "1. csatorna (Hőmérséklet) a felső
// határ felett 8 °C: 2024-03-01 00:10 – 2024-03-01 00:20, 2 rekord, szélsőérték 9.1 °C", in English
// "channel 1 (Temperature) above 8 °C from 2024-03-01 00:10 to 2024-03-01 00:20, 2 records, extreme 9.1 °C".
QString AlarmText(const Alarm& alarm, const DeviceType& type, char decimalSeparator, QuantityNaming naming);
