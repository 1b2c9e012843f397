#include "ImportedLines.h"

#include "core/ValdError.h"
#include "files/MeasurementFile.h"

ImportedLines::ImportedLines(const QString& path) {
  Guarded([&] {
    reader_.emplace(path, MaxMeasurementFileBytes, MaxMeasurementLineBytes);
    next_ = reader_->Next();
  });
}

std::optional<QByteArray> ImportedLines::Next() {
  std::optional<QByteArray> line = std::exchange(next_, std::nullopt);
  if (line) Guarded([&] { next_ = reader_->Next(); });
  if (line && line->isEmpty() && !next_ && error_.isEmpty()) return std::nullopt;
  return line;
}

template <typename Step>
void ImportedLines::Guarded(Step step) {
  try {
    step();
  } catch (const ValdError& error) {
    error_ = error.Message();
    next_.reset();
  }
}
