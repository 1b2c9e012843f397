#include "archive/ImagePatch.h"

#include <QtEndian>
#include <vector>

#include "decode/DeviceCatalogue.h"

namespace {

constexpr int BlockBytes = 512;
constexpr int NumberBytes = 2;
constexpr int EntryBytes = NumberBytes + BlockBytes;

}  // namespace

QByteArray ImagePatch(const QByteArray& previous, const QByteArray& image) {
  QByteArray patch;
  for (qsizetype start = 0; start < image.size(); start += BlockBytes) {
    const QByteArray block = image.mid(start, BlockBytes);
    if (block == previous.mid(start, BlockBytes)) continue;
    char number[NumberBytes];
    qToLittleEndian(quint16(start / BlockBytes), number);
    patch.append(number, NumberBytes).append(block);
  }
  return patch;
}

std::optional<QByteArray> PatchedImage(QByteArray previous, const QByteArray& patch) {
  if (patch.size() % EntryBytes != 0) return std::nullopt;
  for (qsizetype entry = 0; entry < patch.size(); entry += EntryBytes) {
    const qsizetype start = qsizetype(qFromLittleEndian<quint16>(patch.constData() + entry)) * BlockBytes;
    if (start + BlockBytes > previous.size()) return std::nullopt;
    previous.replace(start, BlockBytes, patch.mid(entry + NumberBytes, BlockBytes));
  }
  return previous;
}

std::optional<QByteArray> WholeImageOfPatch(const QByteArray& patch) {
  if (patch.size() % EntryBytes != 0) return std::nullopt;
  const qsizetype entries = patch.size() / EntryBytes;
  std::vector<bool> held(size_t(entries), false);
  const char* chipCode = nullptr;
  for (qsizetype entry = 0; entry < patch.size(); entry += EntryBytes) {
    const quint16 number = qFromLittleEndian<quint16>(patch.constData() + entry);
    if (number >= entries || held[number]) return std::nullopt;
    held[number] = true;
    if (number == 0) chipCode = patch.constData() + entry + NumberBytes + 1;
  }
  if (!chipCode || entries != 1 + ChipBlockCount(uint8_t(*chipCode)).blockCount) return std::nullopt;
  return PatchedImage(QByteArray(entries * BlockBytes, '\0'), patch);
}
