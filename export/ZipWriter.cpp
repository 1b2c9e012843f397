#include "export/ZipWriter.h"

#include "core/ValdError.h"

namespace {

constexpr quint32 LocalHeaderSignature = 0x04034b50;
constexpr quint32 DataDescriptorSignature = 0x08074b50;
constexpr quint32 CentralHeaderSignature = 0x02014b50;
constexpr quint32 EndOfDirectorySignature = 0x06054b50;
constexpr quint16 VersionNeeded = 20;        // deflate
constexpr quint16 SizesFollowData = 0x0008;  // general purpose flag: a data descriptor follows the data
constexpr quint16 Deflated = 8;
// 1980-01-01 00:00 in MS-DOS time and date: the entries carry no time of their own.
constexpr quint16 DosTime = 0;
constexpr quint16 DosDate = (0 << 9) | (1 << 5) | 1;
constexpr int PieceBytes = 64 * 1024;

void Append16(QByteArray& bytes, quint16 value) {
  bytes.append(char(value & 0xff)).append(char(value >> 8));
}

void Append32(QByteArray& bytes, quint32 value) {
  Append16(bytes, quint16(value & 0xffff));
  Append16(bytes, quint16(value >> 16));
}

}  // namespace

ZipWriter::ZipWriter(QIODevice& device, QString path) : device_(device), path_(std::move(path)) {}

ZipWriter::~ZipWriter() {
  if (streamOpen_) deflateEnd(&stream_);
}

void ZipWriter::Put(const QByteArray& bytes) {
  if (device_.write(bytes) != bytes.size())
    throw ValdError(QStringLiteral("Cannot write %1: %2").arg(path_, device_.errorString()));
  written_ += quint32(bytes.size());
}

void ZipWriter::StartEntry(const QByteArray& name) {
  EndEntry();
  Entry entry;
  entry.name = name;
  entry.offset = written_;
  entry.crc = quint32(crc32(0, nullptr, 0));
  QByteArray header;
  Append32(header, LocalHeaderSignature);
  Append16(header, VersionNeeded);
  Append16(header, SizesFollowData);
  Append16(header, Deflated);
  Append16(header, DosTime);
  Append16(header, DosDate);
  Append32(header, 0);  // crc, compressed and uncompressed size: in the data descriptor
  Append32(header, 0);
  Append32(header, 0);
  Append16(header, quint16(name.size()));
  Append16(header, 0);
  header += name;
  Put(header);
  entries_.push_back(entry);
  stream_ = {};
  // Raw deflate (negative window bits): the ZIP entry carries no zlib header or trailer.
  if (deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw ValdError(QStringLiteral("Cannot write %1: the compressor could not start").arg(path_));
  streamOpen_ = true;
}

void ZipWriter::Deflate(const QByteArray& data, int flush) {
  Entry& entry = entries_.back();
  // Sizes are 32-bit without the ZIP64 extension, which no workbook of a device's log needs.
  if (quint64(entry.size) + quint64(data.size()) > 0xffffffffu ||
      quint64(written_) + quint64(data.size()) > 0xffffffffu)
    throw ValdError(QStringLiteral("Cannot write %1: the workbook would exceed 4 GB").arg(path_));
  entry.crc = quint32(crc32(entry.crc, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
  entry.size += quint32(data.size());
  stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  stream_.avail_in = uInt(data.size());
  QByteArray piece(PieceBytes, Qt::Uninitialized);
  int result = Z_OK;
  do {
    stream_.next_out = reinterpret_cast<Bytef*>(piece.data());
    stream_.avail_out = uInt(piece.size());
    result = deflate(&stream_, flush);
    const qsizetype produced = piece.size() - qsizetype(stream_.avail_out);
    Put(piece.left(produced));
    entry.compressedSize += quint32(produced);
  } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
}

void ZipWriter::Write(const QByteArray& data) {
  Deflate(data, Z_NO_FLUSH);
}

void ZipWriter::EndEntry() {
  if (!streamOpen_) return;
  Deflate(QByteArray(), Z_FINISH);
  deflateEnd(&stream_);
  streamOpen_ = false;
  const Entry& entry = entries_.back();
  QByteArray descriptor;
  Append32(descriptor, DataDescriptorSignature);
  Append32(descriptor, entry.crc);
  Append32(descriptor, entry.compressedSize);
  Append32(descriptor, entry.size);
  Put(descriptor);
}

void ZipWriter::Finish() {
  EndEntry();
  const quint32 directoryOffset = written_;
  QByteArray directory;
  for (const Entry& entry : entries_) {
    Append32(directory, CentralHeaderSignature);
    Append16(directory, VersionNeeded);  // made by
    Append16(directory, VersionNeeded);
    Append16(directory, SizesFollowData);
    Append16(directory, Deflated);
    Append16(directory, DosTime);
    Append16(directory, DosDate);
    Append32(directory, entry.crc);
    Append32(directory, entry.compressedSize);
    Append32(directory, entry.size);
    Append16(directory, quint16(entry.name.size()));
    Append16(directory, 0);  // extra field
    Append16(directory, 0);  // comment
    Append16(directory, 0);  // disk
    Append16(directory, 0);  // internal attributes
    Append32(directory, 0);  // external attributes
    Append32(directory, entry.offset);
    directory += entry.name;
  }
  Put(directory);
  QByteArray end;
  Append32(end, EndOfDirectorySignature);
  Append16(end, 0);
  Append16(end, 0);
  Append16(end, quint16(entries_.size()));
  Append16(end, quint16(entries_.size()));
  Append32(end, quint32(directory.size()));
  Append32(end, directoryOffset);
  Append16(end, 0);
  Put(end);
}
