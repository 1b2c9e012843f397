#include "files/MeasurementLine.h"

#include <QByteArrayView>
#include <QString>
#include <QVarLengthArray>
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

// The integer part and the fraction's digits of a value scaled by 10^Decimals; a divisor known to the
// compiler becomes a multiplication, where a divisor read from a table takes a slow division.
template <int Decimals>
char* WriteScaled(char* p, uint64_t scaled, char separator) {
  constexpr uint64_t unit = [] {
    uint64_t u = 1;
    for (int k = 0; k < Decimals; ++k) u *= 10;
    return u;
  }();
  p = WriteDecimal(p, scaled / unit);
  if constexpr (Decimals > 0) {
    *p++ = separator;
    uint64_t fraction = scaled % unit;
    for (int k = Decimals - 1; k >= 0; --k) {
      p[k] = char('0' + fraction % 10);
      fraction /= 10;
    }
    p += Decimals;
  }
  return p;
}

using ScaledWriter = char* (*)(char*, uint64_t, char);
constexpr std::array<ScaledWriter, PowersOfTen.size()> ScaledWriters = {
    WriteScaled<0>, WriteScaled<1>, WriteScaled<2>, WriteScaled<3>, WriteScaled<4>,
    WriteScaled<5>, WriteScaled<6>, WriteScaled<7>, WriteScaled<8>, WriteScaled<9>};

// A value's sign, integer digits and, with decimals, the separator and exactly that many digits.
char* WriteValue(char* p, const RecordValue& value, char separator) {
  if (value.IsNegative()) *p++ = '-';
  const int decimals = std::min<int>(value.decimals, int(PowersOfTen.size()) - 1);
  const auto scaled = uint64_t(std::llround(std::fabs(value.number) * PowersOfTen[decimals]));
  return ScaledWriters[size_t(decimals)](p, scaled, separator);
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

// A line is written into a buffer first and taken over whole: on the stack for any record the devices
// write, on the heap for a longer one read from a file.
using LineBuffer = QVarLengthArray<char, 1024>;

// The most bytes a line of `valueCount` values takes: the time columns, and per value a sign, the
// digits of a 64-bit number, a separator, the decimals, ";" and an event's name.
qsizetype LineBytesBound(size_t valueCount) {
  constexpr qsizetype TimeColumnsBytes = 5 + 4 * 4;
  constexpr qsizetype ValueBytes = 1 + 20 + 1 + 9 + 1 + 32;  // the longest event name takes 22
  return TimeColumnsBytes + qsizetype(valueCount) * ValueBytes;
}

char* WriteMeasurementLine(char* p, const LogRecord& record, std::span<const RecordValue> values,
                           const LineSeparators& separators) {
  if (record.timeCount > 0) {
    p = record.time.year == 0 ? (*p = '0', p + 1) : WriteDecimal(p, record.time.year);
    *p++ = ';';
  }
  const std::array<uint8_t, 4> clock = {record.time.month, record.time.day, record.time.hour,
                                        record.time.minute};
  for (int k = 1; k < record.timeCount; ++k) {
    p = WriteTwoDigits(p, clock[k - 1]);
    *p++ = ';';
  }
  for (const RecordValue& value : values) {
    switch (value.kind) {
      case RecordValue::Kind::Missing:
      case RecordValue::Kind::Unreadable:
        *p++ = '-';
        *p++ = '-';
        *p++ = ';';
        break;
      case RecordValue::Kind::Number:
        p = WriteValue(p, value, value.byteFraction ? separators.setting : separators.system);
        *p++ = ';';
        break;
      case RecordValue::Kind::Event: {
        p = WriteValue(p, value, separators.system);
        const QByteArray& name = EventNameText(value.eventCode);
        p = std::copy(name.begin(), name.end(), p);
        break;
      }
    }
  }
  return p;
}

}  // namespace

LineSeparators SeparatorsOf(const QByteArray& decimalSeparatorText, char systemDecimalSeparator) {
  return {decimalSeparatorText.isEmpty() ? systemDecimalSeparator : decimalSeparatorText[0],
          systemDecimalSeparator};
}

void AppendMeasurementLine(const LogRecord& record, std::span<const RecordValue> values,
                           const LineSeparators& separators, QByteArray& out) {
  if (!record.text.isNull()) {
    out += record.text;
    return;
  }
  LineBuffer line(LineBytesBound(values.size()));
  out.append(line.data(), WriteMeasurementLine(line.data(), record, values, separators) - line.data());
}

QByteArray FormatMeasurementLine(const LogRecord& record, std::span<const RecordValue> values,
                                 const LineSeparators& separators) {
  QByteArray line;
  AppendMeasurementLine(record, values, separators, line);
  return line;
}

TextLines FormatMeasurementLines(std::span<const LogRecord> records, std::span<const RecordValue> values,
                                 const LineSeparators& separators) {
  QList<QByteArray> lines;
  lines.reserve(qsizetype(records.size()));
  LineBuffer line;
  for (const LogRecord& record : records) {
    if (!record.text.isNull()) {
      lines.append(record.text);
      continue;
    }
    const std::span<const RecordValue> own = values.subspan(record.firstValue, record.valueCount);
    line.resize(LineBytesBound(own.size()));
    const char* end = WriteMeasurementLine(line.data(), record, own, separators);
    lines.emplaceBack(line.data(), end - line.data());
  }
  return TextLines(std::move(lines));
}

TextLines FormatDecodedLines(std::span<const LogRecord> memoryOrder, std::span<const RecordValue> values,
                             const LineSeparators& separators) {
  const std::span<const LogRecord> shown = RecordsBeforeKindZero(memoryOrder);
  QList<QByteArray> lines;
  lines.reserve(qsizetype(shown.size()) + 1);
  LineBuffer line;
  for (const LogRecord& record : shown) {
    const std::span<const RecordValue> own = values.subspan(record.firstValue, record.valueCount);
    line.resize(2 + LineBytesBound(own.size()));
    line[0] = record.kind;
    line[1] = ';';
    const char* end = WriteMeasurementLine(line.data() + 2, record, own, separators);
    lines.emplaceBack(line.data(), end - line.data());
  }
  // The decoded text of a log that runs to its end closes with a line end, which leaves an empty line.
  const bool cut = shown.size() < memoryOrder.size();
  if (!cut && !shown.empty() && !shown.back().cutShort) lines.emplaceBack();
  return TextLines(std::move(lines));
}

TextLines MeasurementLinesOf(const RecordLog& log, const LineSeparators& separators) {
  return FormatMeasurementLines(log.records, log.values, separators);
}

TextLines ShownMeasurementLines(const SharedState& state, char systemDecimalSeparator) {
  return MeasurementLinesOf(state.LogRecords,
                            SeparatorsOf(state.DecimalSeparatorText, systemDecimalSeparator));
}

RecordLog ReadMeasurementLines(const TextLines& lines) {
  RecordLog log;
  log.records.reserve(size_t(lines.Count()));
  for (const QByteArray& line : lines.Lines()) {
    LogRecord record;
    record.kind = 'a';
    record.text = line;
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
