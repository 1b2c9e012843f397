#pragma once

#include <zlib.h>
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <vector>

// Writes a ZIP archive into a device, one deflated entry after another, each streamed in pieces so that
// a large entry never has to be held whole: the container of an xlsx workbook. Every entry's sizes and
// checksum follow its data (a data descriptor) and are listed again in the central directory at the end.
// Throws ValdError naming `path` (the file being written) when the device refuses a write.
class ZipWriter {
 public:
  ZipWriter(QIODevice& device, QString path);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Ends the entry being written, if any, and starts the entry `name` (ASCII).
  void StartEntry(const QByteArray& name);
  // Appends to the entry being written.
  void Write(const QByteArray& data);
  // Ends the last entry and writes the central directory.
  void Finish();

 private:
  struct Entry {
    QByteArray name;
    quint32 crc = 0;
    quint32 compressedSize = 0;
    quint32 size = 0;
    quint32 offset = 0;
  };
  void Deflate(const QByteArray& data, int flush);
  void EndEntry();
  void Put(const QByteArray& bytes);

  QIODevice& device_;
  QString path_;
  z_stream stream_{};
  bool streamOpen_ = false;
  std::vector<Entry> entries_;
  quint32 written_ = 0;
};
