#include "export/RecordsDigest.h"

#include <QCryptographicHash>
#include <QDate>
#include <algorithm>
#include <cmath>

namespace {

std::vector<const LogRecord*> TimedRecordsInOrder(const RecordLog& log) {
  std::vector<const LogRecord*> records;
  for (const LogRecord& record : log.records) {
    if (IsValidRecordTime(record.time)) records.push_back(&record);
  }
  std::stable_sort(records.begin(), records.end(),
                   [](const LogRecord* a, const LogRecord* b) { return a->time < b->time; });
  return records;
}

void AppendTwoDigits(QByteArray& text, int number) {
  text += char('0' + number / 10);
  text += char('0' + number % 10);
}

void AppendValue(QByteArray& text, const RecordValue& value) {
  switch (value.kind) {
    case RecordValue::Kind::Missing:
      text += "--";
      return;
    case RecordValue::Kind::Unreadable:
      text += '?';
      return;
    case RecordValue::Kind::Number:
    case RecordValue::Kind::Event:
      // 'f' drops the sign of a zero; a relay event's "-0" keeps it.
      if (value.number == 0 && std::signbit(value.number)) text += '-';
      text += QByteArray::number(value.number == 0 ? 0.0 : value.number, 'f', value.decimals);
      return;
  }
}

}  // namespace

bool IsValidRecordTime(const RecordTime& time) {
  return QDate(time.year, time.month, time.day).isValid() && time.hour < 24 && time.minute < 60;
}

QByteArray RecordsCanonicalText(const RecordLog& log) {
  QByteArray text;
  for (const LogRecord* record : TimedRecordsInOrder(log)) {
    const RecordTime& time = record->time;
    text += QByteArray::number(time.year);
    text += '-';
    AppendTwoDigits(text, time.month);
    text += '-';
    AppendTwoDigits(text, time.day);
    text += ' ';
    AppendTwoDigits(text, time.hour);
    text += ':';
    AppendTwoDigits(text, time.minute);
    for (const RecordValue& value : log.Values(*record)) {
      text += ';';
      AppendValue(text, value);
    }
    text += '\n';
  }
  return text;
}

RecordsDigest DigestOfRecords(const RecordLog& log) {
  RecordsDigest digest;
  digest.sha256 = QCryptographicHash::hash(RecordsCanonicalText(log), QCryptographicHash::Sha256).toHex();
  for (const LogRecord& record : log.records) {
    if (!IsValidRecordTime(record.time)) continue;
    ++digest.records;
    if (!digest.first || record.time < *digest.first) digest.first = record.time;
    if (!digest.last || record.time > *digest.last) digest.last = record.time;
  }
  return digest;
}
