#pragma once

#include <QString>

#include "decode/DeviceCatalogue.h"
#include "export/StatisticsTable.h"

// Every text of the printable report in one language (UTF-8), so that a report in English holds no
// Hungarian word and the Hungarian one stays as it was.
struct ReportWording {
  const char* title;
  const char* device;  // "%1": type, "%2": MAC address, "%3": address
  const char* period;  // "%1" – "%2", "%3" records
  const char* timeZone;
  const char* made;
  const char* page;  // "%1": page, "%2": pages
  const char* limitsHeading;
  const char* noLimits;
  const char* limitsHeader[6];  // channel, quantity, low, high, delay, hysteresis
  const char* minutesUnit;
  const char* legendChannel;  // "%1": the channel's number
  const char* channelHeading;
  const char* channelHeader[10];  // channel, quantity, unit, count, min, max, mean, MKT, above, below
  const char* meanKineticNote;
  const char* dailyHeading;
  const char* excursionsHeading;
  const char* noExcursions;
  const char* excursionSummary;    // "%1" excursions, "%2" total, "%3" longest, "%4" first start
  const char* excursionHeader[9];  // #, channel, quantity, limit, start, end, duration, records, extreme
  const char* low;
  const char* high;
  const char* verdictWithin;
  const char* verdictExcursions;  // "%1": the count
  const char* verdictNoLimits;
  const char* signatureHeading;
  const char* signatures[3];  // prepared by, reviewed by, date
  const char* fingerprint;    // "%1": SHA-256, "%2": records
  const char* fingerprintCheck;
  const char* days;     // "%1 d"
  const char* hours;    // "%1 h"
  const char* minutes;  // "%1 min"
  TableWording tables;  // the daily statistics table's
};

const ReportWording& ReportWordingOf(TableWording language);

// A quantity's caption in the report's language.
QString QuantityCaption(const Quantity& quantity, const ReportWording& wording);

// "2 d 3 h 5 min", "6 h", "0 min": a duration in whole minutes.
QString DurationText(qint64 minutes, const ReportWording& wording);

// A text of the wording, "%1" and the like left for QString::arg.
inline QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}
