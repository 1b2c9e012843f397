#pragma once

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

// Takes a fuzz input apart from the front: single bytes that choose a case, then byte runs. Reading
// past the end gives zeros and empty runs, so every input is a valid case.
class FuzzInput {
 public:
  explicit FuzzInput(std::span<const uint8_t> data) : data_(data) {}

  uint8_t TakeByte() {
    if (data_.empty()) return 0;
    const uint8_t byte = data_.front();
    data_ = data_.subspan(1);
    return byte;
  }

  std::span<const uint8_t> Take(size_t count) {
    const std::span<const uint8_t> run = data_.first(std::min(count, data_.size()));
    data_ = data_.subspan(run.size());
    return run;
  }

  QByteArray TakeText(size_t count) { return AsText(Take(count)); }
  QByteArray RestAsText() { return TakeText(data_.size()); }
  size_t Remaining() const { return data_.size(); }

  static QByteArray AsText(std::span<const uint8_t> run) {
    return QByteArray(reinterpret_cast<const char*>(run.data()), qsizetype(run.size()));
  }

 private:
  std::span<const uint8_t> data_;
};

// Stops the run the way a sanitizer finding does, so that the fuzzer keeps the input.
#define FUZZ_REQUIRE(condition)                                                             \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
