#include "archive/ArchivedLine.h"

#include <QByteArrayView>
#include <QDate>
#include <QStringList>
#include <QTime>
#include <QVarLengthArray>

namespace {

constexpr int TimeFieldCount = 5;

std::optional<double> ReadValue(QByteArrayView field, char decimalSeparator) {
  if (field.isEmpty() || field == "--") return std::nullopt;
  bool ok = false;
  const double value = decimalSeparator == '.'
                           ? field.toDouble(&ok)
                           : field.toByteArray().replace(decimalSeparator, '.').toDouble(&ok);
  return ok ? std::optional(value) : std::nullopt;
}

void AppendDigits(QByteArray& text, int number, int digits) {
  for (int divisor = digits == 4 ? 1000 : 10; divisor > 0; divisor /= 10)
    text += char('0' + number / divisor % 10);
}

// Built from the numbers, not through a local date and time, which a daylight saving gap would shift.
QByteArray SqlTime(const QDate& date, const QTime& time) {
  if (date.year() < 0 || date.year() > 9999) {
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", date.year(), date.month(), date.day(),
                             time.hour(), time.minute(), time.second())
        .toLatin1();
  }
  // Written digit by digit: formatting through QString would take longer than the rest of the line.
  QByteArray text;
  text.reserve(19);
  AppendDigits(text, date.year(), 4);
  text += '-';
  AppendDigits(text, date.month(), 2);
  text += '-';
  AppendDigits(text, date.day(), 2);
  text += ' ';
  AppendDigits(text, time.hour(), 2);
  text += ':';
  AppendDigits(text, time.minute(), 2);
  text += ':';
  AppendDigits(text, time.second(), 2);
  return text;
}

}  // namespace

std::optional<ArchivedLine> ReadArchivedLine(const QByteArray& line, char decimalSeparator) {
  // The fields as views into the line: a merge reads thousands of lines.
  QVarLengthArray<QByteArrayView, TimeFieldCount + ArchivedLine::ChannelCount + 1> fields;
  for (qsizetype start = 0;;) {
    const qsizetype end = line.indexOf(';', start);
    fields.append(QByteArrayView(line).sliced(start, (end < 0 ? line.size() : end) - start));
    if (end < 0) break;
    start = end + 1;
  }
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

ArchivedLines ReadArchivedLines(const QList<QByteArray>& lines, char decimalSeparator) {
  ArchivedLines read;
  read.records.reserve(size_t(lines.size()));
  for (const QByteArray& line : lines) {
    if (std::optional<ArchivedLine> archived = ReadArchivedLine(line, decimalSeparator)) {
      read.records.push_back(std::move(*archived));
    } else {
      ++read.withoutTime;
    }
  }
  return read;
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
