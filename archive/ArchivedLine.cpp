#include "archive/ArchivedLine.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <QTime>

namespace {

constexpr int TimeFieldCount = 5;

std::optional<double> ReadValue(QByteArray field, char decimalSeparator) {
  if (field.isEmpty() || field == "--") return std::nullopt;
  if (decimalSeparator != '.') field.replace(decimalSeparator, '.');
  bool ok = false;
  const double value = field.toDouble(&ok);
  return ok ? std::optional(value) : std::nullopt;
}

// Built from the numbers, not through a local date and time, which a daylight saving gap would shift.
QByteArray SqlTime(const QDate& date, const QTime& time) {
  return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", date.year(), date.month(), date.day(),
                           time.hour(), time.minute(), time.second())
      .toLatin1();
}

}  // namespace

std::optional<ArchivedLine> ReadArchivedLine(const QByteArray& line, char decimalSeparator) {
  const QList<QByteArray> fields = line.split(';');
  if (fields.size() < TimeFieldCount) return std::nullopt;
  std::array<int, TimeFieldCount> numbers{};
  for (int i = 0; i < TimeFieldCount; ++i) {
    bool ok = false;
    numbers[size_t(i)] = fields[i].toInt(&ok);
    if (!ok) return std::nullopt;
  }
  const QDate date(numbers[0], numbers[1], numbers[2]);
  const QTime time(numbers[3], numbers[4]);
  if (!date.isValid() || !time.isValid()) return std::nullopt;

  ArchivedLine archived;
  archived.line = line;
  archived.time = SqlTime(date, time);
  // The line closes every value with ";": the last split part is no value.
  for (qsizetype i = TimeFieldCount; i < fields.size() && i - TimeFieldCount < ArchivedLine::ChannelCount;
       ++i) {
    if (i == fields.size() - 1 && fields[i].isEmpty()) break;
    archived.values[size_t(i - TimeFieldCount)] = ReadValue(fields[i], decimalSeparator);
  }
  return archived;
}

std::optional<QByteArray> ArchiveTimeFromText(const QString& text, bool endOfDay) {
  const QStringList parts = text.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (parts.isEmpty() || parts.size() > 2) return std::nullopt;
  const QDate date = QDate::fromString(parts[0], QStringLiteral("yyyy-MM-dd"));
  const QTime time = parts.size() == 2 ? QTime::fromString(parts[1], QStringLiteral("hh:mm"))
                                       : QTime(endOfDay ? 23 : 0, endOfDay ? 59 : 0, endOfDay ? 59 : 0);
  if (!date.isValid() || !time.isValid()) return std::nullopt;
  return SqlTime(date, time);
}
