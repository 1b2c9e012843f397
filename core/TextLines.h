#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

// An ordered list of single-byte text lines: the program's string list. Lines never hold CR or LF.
class TextLines {
 public:
  TextLines() = default;
  explicit TextLines(QList<QByteArray> lines) : lines_(std::move(lines)) { Changed(); }
  void Add(const QByteArray& line) {
    lines_.append(line);
    Changed();
  }
  void Clear() {
    lines_.clear();
    Changed();
  }
  void Reserve(int count) { lines_.reserve(count); }
  int Count() const { return int(lines_.size()); }
  bool IsEmpty() const { return lines_.isEmpty(); }
  // Throws "List index out of bounds (i)" outside 0 .. Count() - 1.
  const QByteArray& Get(int index) const;
  void Put(int index, const QByteArray& line);
  void Insert(int index, const QByteArray& line);
  void Delete(int index);
  const QList<QByteArray>& Lines() const { return lines_; }

  // The lines joined, each followed by CR LF.
  QByteArray Text() const;
  // Replaces the lines by the text split at CR LF, LF or CR. The text ends at its first zero byte;
  // a final line without a line end counts, a final line end adds no empty line.
  void SetText(const QByteArray& text);
  // The same for a text whose zero bytes belong to their lines.
  void SetWholeText(const QByteArray& text);

  // Whole-file read and write. Failures throw with the file name and the reason; a failed save leaves
  // the previous file untouched (the file is replaced only once the new content is complete). A file
  // whose text is larger than `maxBytes` is refused as it is read (see ReadTextFile).
  void LoadFromFile(const QString& path, qint64 maxBytes);
  void SaveToFile(const QString& path) const;

  // Changes with every change of the lines, to a number no other list has had: what was made from the
  // lines can tell whether it still belongs to them. A copy has the revision of its original.
  uint64_t Revision() const { return revision_; }

  bool operator==(const TextLines& other) const { return lines_ == other.lines_; }

 private:
  void Changed();
  void SplitLines(const char* begin, const char* end);

  QList<QByteArray> lines_;
  uint64_t revision_ = 0;
};

// Writes the file whole or not at all, as every writer of the program's files does.
void WriteWholeFile(const QString& path, const QByteArray& content);
