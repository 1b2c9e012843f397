#pragma once

#include <QByteArray>
#include <cstdint>

// The simulated device's two memories: the 64 KiB device memory that "EA<addr>" reads (the log header
// lies at HeaderAddress) and the log memory that "ED<nn>" reads block by block.
//
// Image file layout: the 65536 bytes of device memory, then the log memory as raw 512-byte blocks
// (32 for a 25LC254, 96 for a 25LC512). No header, no padding.
struct DeviceImage {
  static constexpr int MemorySize = 65536;
  // The largest image file taken: far more than the memory and the longest log of any chip.
  static constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
  static constexpr int BlockSize = 512;

  QByteArray memory;  // MemorySize bytes
  QByteArray log;     // a whole number of blocks, at least one

  // Erased memories (0xFF everywhere) with a header block of zeros holding the three header fields,
  // and the given log bytes at the start of a log as long as the chip's block count, the rest erased.
  static DeviceImage ForLog(int deviceCode, int chipCode, int32_t headerWord, const QByteArray& logBytes);

  // Throws ValdError when the bytes do not have the image file layout.
  static DeviceImage FromBytes(const QByteArray& bytes);
  QByteArray ToBytes() const;

  // The 512 bytes from address on; addresses wrap around the 64 KiB.
  QByteArray MemoryAt(int64_t address) const;
  // Block n of the log; a block beyond the log reads as erased memory.
  QByteArray LogBlock(int64_t block) const;
};
