#include "export/StatisticsTable.h"

namespace {

constexpr int MeanDecimals = 3;

QString Number(double value, char decimalSeparator, int decimals = -1) {
  QString text = decimals < 0 ? QString::number(value, 'g', 12) : QString::number(value, 'f', decimals);
  if (decimalSeparator != '.') text.replace(QLatin1Char('.'), QLatin1Char(decimalSeparator));
  return text;
}

}  // namespace

StatisticsTable DailyStatisticsTable(const std::vector<DayStatistics>& statistics, const DeviceType& type,
                                     TableWording wording, char decimalSeparator) {
  const bool english = wording == TableWording::English;
  StatisticsTable table;
  table.header =
      english
          ? QStringList{QStringLiteral("day"),     QStringLiteral("channel"), QStringLiteral("quantity"),
                        QStringLiteral("unit"),    QStringLiteral("count"),   QStringLiteral("minimum"),
                        QStringLiteral("maximum"), QStringLiteral("mean"),    QStringLiteral("mkt")}
          : QStringList{QStringLiteral("Nap"),     QStringLiteral("Csatorna"), QStringLiteral("Mennyiség"),
                        QStringLiteral("Egység"),  QStringLiteral("Darab"),    QStringLiteral("Minimum"),
                        QStringLiteral("Maximum"), QStringLiteral("Átlag"),    QStringLiteral("MKT")};
  for (const DayStatistics& day : statistics) {
    const Quantity& quantity = QuantityOf(type.columns[size_t(day.column)]);
    table.rows << QStringList{
        day.day.toString(QStringLiteral("yyyy-MM-dd")),
        QString::number(day.column + 1),
        english ? QString::fromLatin1(quantity.key) : QString::fromUtf8(quantity.labelHu),
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
