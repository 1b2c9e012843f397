#include "report/ReportWording.h"

#include <QStringList>

namespace {

constexpr ReportWording Hungarian{
    .title = "Mérési jelentés",
    .device = "Eszköz: %1   MAC-cím: %2   Cím: %3",
    .period = "Időszak: %1 – %2, %3 rekord",
    .timeZone = "Időzóna: %1",
    .made = "Készült: %1",
    .page = "%1. oldal / %2",
    .limitsHeading = "Határértékek",
    .noLimits = "Nincs határérték megadva.",
    .limitsHeader = {"Csatorna", "Mennyiség", "Alsó határ", "Felső határ", "Késleltetés", "Hiszterézis"},
    .minutesUnit = "perc",
    .legendChannel = "%1. csatorna",
    .channelHeading = "Csatornák az időszakban",
    .channelHeader = {"Csatorna", "Mennyiség", "Egység", "Darab", "Minimum", "Maximum", "Átlag", "MKT",
                      "Felső felett", "Alsó alatt"},
    .meanKineticNote =
        "MKT: átlagos kinetikus hőmérséklet, ΔH/R = 10 000 K (ΔH = 83,144 kJ/mol, "
        "R = 8,3144 J/(mol·K)). A határon túli idő a túllépések hossza.",
    .dailyHeading = "Napi statisztika",
    .excursionsHeading = "Határérték-túllépések",
    .noExcursions = "Nem volt határérték-túllépés az időszakban.",
    .excursionSummary = "Túllépés: %1   Összes időtartam: %2   Leghosszabb: %3   Első kezdete: %4",
    .excursionHeader = {"Ssz.", "Csatorna", "Mennyiség", "Határ", "Kezdete", "Vége", "Időtartam", "Rekord",
                        "Szélsőérték"},
    .low = "alsó",
    .high = "felső",
    .verdictWithin = "Értékelés: a határértékeken belül",
    .verdictExcursions = "Értékelés: határérték-túllépés: %1",
    .verdictNoLimits = "Értékelés: nincs határérték megadva",
    .signatureHeading = "Aláírások",
    .signatures = {"Készítette", "Ellenőrizte", "Dátum"},
    .fingerprint = "A rekordok SHA-256 lenyomata (%2 rekord): %1",
    .fingerprintCheck = "Ellenőrzés az archívummal: vald_archive check --report <jelentés.pdf>",
    .days = "%1 nap",
    .hours = "%1 óra",
    .minutes = "%1 perc",
    .tables = TableWording::Hungarian,
};

constexpr ReportWording English{
    .title = "Measurement report",
    .device = "Device: %1   MAC address: %2   Address: %3",
    .period = "Period: %1 – %2, %3 records",
    .timeZone = "Time zone: %1",
    .made = "Made: %1",
    .page = "Page %1 of %2",
    .limitsHeading = "Limits",
    .noLimits = "No limits set.",
    .limitsHeader = {"Channel", "Quantity", "Low limit", "High limit", "Delay", "Hysteresis"},
    .minutesUnit = "min",
    .legendChannel = "channel %1",
    .channelHeading = "Channels over the period",
    .channelHeader = {"Channel", "Quantity", "Unit", "Count", "Minimum", "Maximum", "Mean", "MKT",
                      "Above high", "Below low"},
    .meanKineticNote =
        "MKT: mean kinetic temperature, ΔH/R = 10 000 K (ΔH = 83.144 kJ/mol, "
        "R = 8.3144 J/(mol·K)). Time beyond a limit is the length of its excursions.",
    .dailyHeading = "Daily statistics",
    .excursionsHeading = "Excursions",
    .noExcursions = "No excursion beyond the limits in the period.",
    .excursionSummary = "Excursions: %1   Total duration: %2   Longest: %3   First start: %4",
    .excursionHeader = {"No.", "Channel", "Quantity", "Limit", "Start", "End", "Duration", "Records",
                        "Extreme"},
    .low = "low",
    .high = "high",
    .verdictWithin = "Verdict: within limits",
    .verdictExcursions = "Verdict: excursions beyond the limits: %1",
    .verdictNoLimits = "Verdict: no limits set",
    .signatureHeading = "Signatures",
    .signatures = {"Prepared by", "Reviewed by", "Date"},
    .fingerprint = "SHA-256 of the records (%2 records): %1",
    .fingerprintCheck = "Check against the archive: vald_archive check --report <report.pdf>",
    .days = "%1 d",
    .hours = "%1 h",
    .minutes = "%1 min",
    .tables = TableWording::English,
};

}  // namespace

const ReportWording& ReportWordingOf(TableWording language) {
  return language == TableWording::English ? English : Hungarian;
}

QString QuantityCaption(const Quantity& quantity, const ReportWording& wording) {
  return QString::fromUtf8(wording.tables == TableWording::English ? quantity.labelEn : quantity.labelHu);
}

QString DurationText(qint64 minutes, const ReportWording& wording) {
  constexpr qint64 MinutesPerDay = 24 * 60;
  QStringList parts;
  if (minutes >= MinutesPerDay) parts << Text(wording.days).arg(minutes / MinutesPerDay);
  if (minutes % MinutesPerDay >= 60) parts << Text(wording.hours).arg(minutes % MinutesPerDay / 60);
  if (minutes % 60 != 0 || parts.isEmpty()) parts << Text(wording.minutes).arg(minutes % 60);
  return parts.join(QLatin1Char(' '));
}
