#include "files/MeasurementLine.h"

#include <QByteArrayView>
#include <QString>
#include <array>
#include <cmath>

#include "core/NumberReading.h"
#include "core/Win1250.h"
#include "decode/RingOrdering.h"

namespace {

struct EventName {
  uint8_t code;
  const char16_t* text;
};

constexpr std::array<EventName, 7> EventNames = {{
    {0, u";Kikapcsolás"},
    {4, u";Reset"},
    {5, u";Extra csengetés"},
    {10, u";Automatikus csengetés"},
    {15, u";Kézi csengetés"},
    {20, u";Telefonos csengetés"},
    {25, u";Nap törlés"},
}};

// The Windows-1250 name of an event code, converted once.
const QByteArray& EventNameText(uint8_t code) {
  static const auto texts = [] {
    std::array<QByteArray, EventNames.size() + 1> converted;
    for (size_t k = 0; k < EventNames.size(); ++k)
      converted[k] = ToWin1250(QString::fromUtf16(EventNames[k].text));
    converted.back() = ";Ismeretlen";
    return converted;
  }();
  for (size_t k = 0; k < EventNames.size(); ++k) {
    if (EventNames[k].code == code) return texts[k];
  }
  return texts.back();
}

char* WriteDecimal(char* p, uint64_t value) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = char('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) *p++ = digits[--count];
  return p;
}

constexpr std::array<double, 10> PowersOfTen = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// A value's sign, integer digits and, with decimals, the separator and exactly that many digits.
char* WriteValue(char* p, const RecordValue& value, char separator) {
  if (value.IsNegative()) *p++ = '-';
  const int decimals = std::min<int>(value.decimals, int(PowersOfTen.size()) - 1);
  const auto scaled = uint64_t(std::llround(std::fabs(value.number) * PowersOfTen[decimals]));
  const auto unit = uint64_t(PowersOfTen[decimals]);
  p = WriteDecimal(p, scaled / unit);
  if (decimals > 0) {
    *p++ = separator;
    uint64_t fraction = scaled % unit;
    for (int k = decimals - 1; k >= 0; --k) {
      p[k] = char('0' + fraction % 10);
      fraction /= 10;
    }
    p += decimals;
  }
  return p;
}

// Month, day, hour and minute: two digits below 10, otherwise as many as the value needs.
char* WriteTwoDigits(char* p, unsigned value) {
  if (value < 10) *p++ = '0';
  return WriteDecimal(p, value);
}

bool IsDigits(QByteArrayView text) {
  if (text.isEmpty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A time column read back: its number, and whether the line's text is the one the number gives.
struct TimeColumn {
  unsigned value = 0;
  bool canonical = false;
};

TimeColumn ReadTimeColumn(QByteArrayView text, bool year) {
  if (!IsDigits(text) || text.size() > 4) return {};
  unsigned value = 0;
  for (const char c : text) value = value * 10 + unsigned(c - '0');
  char canonical[8];
  char* end = year ? WriteDecimal(canonical, value) : WriteTwoDigits(canonical, value);
  const bool fits = year ? value <= 0xFFFF : value <= 0xFF;
  return {fits ? value : 0, fits && QByteArrayView(canonical, end - canonical) == text};
}

RecordValue ReadValue(QByteArrayView text) {
  RecordValue value;
  if (text == "--") return value;
  std::optional<ReadDecimal> number = ReadDecimalNumber(text, '.');
  if (!number) number = ReadDecimalNumber(text, ',');
  if (!number) {
    value.kind = RecordValue::Kind::Unreadable;
    return value;
  }
  value.kind = RecordValue::Kind::Number;
  value.number = number->value;
  value.decimals = uint8_t(std::min(number->decimals, 255));
  return value;
}

}  // namespace

LineSeparators SeparatorsOf(const QByteArray& decimalSeparatorText, char systemDecimalSeparator) {
  return {decimalSeparatorText.isEmpty() ? systemDecimalSeparator : decimalSeparatorText[0],
          systemDecimalSeparator};
}

void AppendMeasurementLine(const LogRecord& record, std::span<const RecordValue> values,
                           const LineSeparators& separators, QByteArray& out) {
  // Each column is written into a small buffer first; a value takes at most 24 bytes.
  char text[32];
  if (record.timeCount > 0) {
    char* p = record.time.year == 0 ? (text[0] = '0', text + 1) : WriteDecimal(text, record.time.year);
    *p++ = ';';
    out.append(text, p - text);
  }
  const std::array<uint8_t, 4> clock = {record.time.month, record.time.day, record.time.hour,
                                        record.time.minute};
  for (int k = 1; k < record.timeCount; ++k) {
    char* p = WriteTwoDigits(text, clock[k - 1]);
    *p++ = ';';
    out.append(text, p - text);
  }
  for (const RecordValue& value : values) {
    switch (value.kind) {
      case RecordValue::Kind::Missing:
      case RecordValue::Kind::Unreadable:
        out.append("--;", 3);
        break;
      case RecordValue::Kind::Number: {
        char* p = WriteValue(text, value, value.byteFraction ? separators.setting : separators.system);
        *p++ = ';';
        out.append(text, p - text);
        break;
      }
      case RecordValue::Kind::Event: {
        char* p = WriteValue(text, value, separators.system);
        out.append(text, p - text);
        out.append(EventNameText(value.eventCode));
        break;
      }
    }
  }
}

QByteArray FormatMeasurementLine(const LogRecord& record, std::span<const RecordValue> values,
                                 const LineSeparators& separators) {
  QByteArray line;
  AppendMeasurementLine(record, values, separators, line);
  return line;
}

TextLines FormatMeasurementLines(std::span<const LogRecord> records, std::span<const RecordValue> values,
                                 const LineSeparators& separators) {
  TextLines lines;
  lines.Reserve(int(records.size()));
  for (const LogRecord& record : records) {
    QByteArray line;
    line.reserve(16 + 8 * record.valueCount);
    AppendMeasurementLine(record, values.subspan(record.firstValue, record.valueCount), separators, line);
    lines.Add(line);
  }
  return lines;
}

TextLines FormatDecodedLines(std::span<const LogRecord> memoryOrder, std::span<const RecordValue> values,
                             const LineSeparators& separators) {
  const std::span<const LogRecord> shown = RecordsBeforeKindZero(memoryOrder);
  TextLines lines;
  lines.Reserve(int(shown.size()) + 1);
  for (const LogRecord& record : shown) {
    QByteArray line;
    line.reserve(18 + 8 * record.valueCount);
    line.append(record.kind).append(';');
    AppendMeasurementLine(record, values.subspan(record.firstValue, record.valueCount), separators, line);
    lines.Add(line);
  }
  // The decoded text of a log that runs to its end closes with a line end, which leaves an empty line.
  const bool cut = shown.size() < memoryOrder.size();
  if (!cut && !shown.empty() && !shown.back().cutShort) lines.Add({});
  return lines;
}

RecordLog ReadMeasurementLines(const TextLines& lines) {
  RecordLog log;
  log.records.reserve(size_t(lines.Count()));
  for (const QByteArray& line : lines.Lines()) {
    LogRecord record;
    record.kind = 'a';
    record.firstValue = uint32_t(log.values.size());
    int column = 0;
    std::array<unsigned, LogRecord::TimeColumns> time{};
    for (qsizetype start = 0, end; (end = line.indexOf(';', start)) >= 0; start = end + 1, ++column) {
      const QByteArrayView text(line.constData() + start, end - start);
      if (column < LogRecord::TimeColumns) {
        const TimeColumn read = ReadTimeColumn(text, column == 0);
        time[column] = read.value;
        record.timeAsText = record.timeAsText || !read.canonical;
        ++record.timeCount;
      } else {
        log.values.push_back(ReadValue(text));
        ++record.valueCount;
      }
    }
    record.time = {uint16_t(time[0]), uint8_t(time[1]), uint8_t(time[2]), uint8_t(time[3]), uint8_t(time[4])};
    log.records.push_back(record);
  }
  return log;
}
