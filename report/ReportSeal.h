#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// What a report keeps of the records it was made from, so that a later reader can check it against the
// archive: the device as the archive names it, the first and the last record's time stamp
// ("yyyy-MM-dd hh:mm", the device's clock), how many records there were and the SHA-256 of their
// canonical text (RecordsDigest.h).
//
// It is written into the PDF's XMP metadata as its keywords, one line:
//   VALD records; device=AA:BB:CC:DD:EE:FF; first=2024-03-01 00:00; last=2024-03-02 23:50;
//   records=288; sha256=<64 hex digits>
// (a device key holding ";" or a line break is not made by this program).
struct ReportSeal {
  QString device;
  QString first;
  QString last;
  int records = 0;
  QByteArray sha256;

  bool operator==(const ReportSeal&) const = default;
};

QString ReportSealKeywords(const ReportSeal& seal);

// The XMP metadata packet of a report: its title, the program that made it and the seal as keywords.
QByteArray ReportXmpMetadata(const QString& title, const ReportSeal& seal);

// The largest report file that is checked: a year of charts is a few megabytes.
inline constexpr qint64 MaxReportFileBytes = 256 * 1024 * 1024;

// The seal of a report's PDF bytes; nothing when the file holds none.
std::optional<ReportSeal> ReadReportSeal(const QByteArray& pdf);
