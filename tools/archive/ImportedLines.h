#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/LineReader.h"

// The lines of a measurement file being imported, split as "Megnyitás" splits them; a blank last line
// ends the file and is no line of it. A file too large, or with a line longer than any measurement line,
// is refused as it is read, before more of it is taken in: the lines then end there and Error() says why.
class ImportedLines {
 public:
  explicit ImportedLines(const QString& path);

  std::optional<QByteArray> Next();
  // Why the file could not be read to its end; empty when it was.
  const QString& Error() const { return error_; }

 private:
  template <typename Step>
  void Guarded(Step step);

  std::optional<LineReader> reader_;
  std::optional<QByteArray> next_;  // read ahead, so that a blank last line is known for what it is
  QString error_;
};
