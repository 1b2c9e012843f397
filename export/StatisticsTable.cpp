#include "export/StatisticsTable.h"

#include <QCoreApplication>

namespace {

constexpr int MeanDecimals = 3;

constexpr const char* Headings[] = {
    QT_TRANSLATE_NOOP("StatisticsTable", "Nap"),       QT_TRANSLATE_NOOP("StatisticsTable", "Csatorna"),
    QT_TRANSLATE_NOOP("StatisticsTable", "Mennyiség"), QT_TRANSLATE_NOOP("StatisticsTable", "Egység"),
    QT_TRANSLATE_NOOP("StatisticsTable", "Darab"),     QT_TRANSLATE_NOOP("StatisticsTable", "Minimum"),
    QT_TRANSLATE_NOOP("StatisticsTable", "Maximum"),   QT_TRANSLATE_NOOP("StatisticsTable", "Átlag"),
    QT_TRANSLATE_NOOP("StatisticsTable", "MKT")};

QStringList WrittenHeadings(TableWording wording) {
  if (wording == TableWording::English) {
    return {QStringLiteral("day"),     QStringLiteral("channel"), QStringLiteral("quantity"),
            QStringLiteral("unit"),    QStringLiteral("count"),   QStringLiteral("minimum"),
            QStringLiteral("maximum"), QStringLiteral("mean"),    QStringLiteral("mkt")};
  }
  QStringList headings;
  for (const char* heading : Headings) {
    headings << (wording == TableWording::Window ? QCoreApplication::translate("StatisticsTable", heading)
                                                 : QString::fromUtf8(heading));
  }
  return headings;
}

QString QuantityName(const Quantity& quantity, TableWording wording) {
  switch (wording) {
    case TableWording::English:
      return QString::fromLatin1(quantity.key);
    case TableWording::Hungarian:
      return QString::fromUtf8(quantity.labelHu);
    case TableWording::Window:
      return QuantityCaption(quantity);
  }
  return {};
}

QString Number(double value, char decimalSeparator, int decimals = -1) {
  QString text = decimals < 0 ? QString::number(value, 'g', 12) : QString::number(value, 'f', decimals);
  if (decimalSeparator != '.') text.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
  return text;
}

}  // namespace

StatisticsTable DailyStatisticsTable(const std::vector<DayStatistics>& statistics, const DeviceType& type,
                                     TableWording wording, char decimalSeparator) {
  StatisticsTable table;
  table.header = WrittenHeadings(wording);
  for (const DayStatistics& day : statistics) {
    const Quantity& quantity = QuantityOf(type.columns[size_t(day.column)]);
    table.rows << QStringList{
        day.day.toString(QStringLiteral("yyyy-MM-dd")),
        QString::number(day.column + 1),
        QuantityName(quantity, wording),
        QString::fromUtf8(quantity.unit),
        QString::number(day.count),
        Number(day.minimum, decimalSeparator),
        Number(day.maximum, decimalSeparator),
        Number(day.mean, decimalSeparator, MeanDecimals),
        day.meanKinetic ? Number(*day.meanKinetic, decimalSeparator, MeanDecimals) : QString(),
    };
  }
  return table;
}
