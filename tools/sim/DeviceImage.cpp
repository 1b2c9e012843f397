#include "tools/sim/DeviceImage.h"

#include "core/ValdError.h"
#include "decode/DeviceCatalogue.h"
#include "link/MemoryMap.h"

namespace {

constexpr char Erased = char(0xFF);

}  // namespace

DeviceImage DeviceImage::ForLog(int deviceCode, int chipCode, int32_t headerWord,
                                const QByteArray& logBytes) {
  DeviceImage image;
  image.memory = QByteArray(MemorySize, Erased);
  char* header = image.memory.data() + HeaderAddress;
  std::fill(header, header + BlockSize, 0);
  header[0] = char(deviceCode);
  header[1] = char(chipCode);
  for (int i = 0; i < 4; ++i) header[HeaderWordOffset + i] = char(uint32_t(headerWord) >> (8 * i));

  const int logSize = ChipBlockCount(chipCode).blockCount * BlockSize;
  image.log = logBytes.left(logSize);
  image.log.append(QByteArray(logSize - image.log.size(), Erased));
  return image;
}

DeviceImage DeviceImage::FromBytes(const QByteArray& bytes) {
  const qsizetype logSize = bytes.size() - MemorySize;
  if (logSize < BlockSize || logSize % BlockSize != 0) {
    throw ValdError(QStringLiteral("A device image holds 65536 bytes of memory and whole 512-byte log "
                                   "blocks; %1 bytes do not fit that layout")
                        .arg(bytes.size()));
  }
  return {bytes.left(MemorySize), bytes.mid(MemorySize)};
}

QByteArray DeviceImage::ToBytes() const {
  return memory + log;
}

QByteArray DeviceImage::MemoryAt(int64_t address) const {
  QByteArray bytes(BlockSize, 0);
  for (int i = 0; i < BlockSize; ++i) bytes[i] = memory[int((address + i) & (MemorySize - 1))];
  return bytes;
}

QByteArray DeviceImage::LogBlock(int64_t block) const {
  if (block < 0 || block >= log.size() / BlockSize) return QByteArray(BlockSize, Erased);
  return log.mid(block * BlockSize, BlockSize);
}
