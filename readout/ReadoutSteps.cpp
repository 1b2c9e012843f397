#include "readout/ReadoutSteps.h"

#include "decode/LogDecoding.h"
#include "decode/RingOrdering.h"

#include <algorithm>
#include <utility>

namespace {

// A block without a full reply is asked for once more while the device still seems to be there.
constexpr int RequestsPerBlock = 2;
// After this many unanswered blocks in a row the device is taken as gone: no more second requests,
// which would only double the wait for a device that no longer answers.
constexpr int SilentBlocksUntilGone = 3;

}  // namespace

void TakeLogHeader(const QByteArray& header, ReadoutResult& result) {
  result.headerRead = true;
  result.rawImage = header;
  result.chip = ChipBlockCount(uint8_t(header[1]));
  result.deviceType = LookUpDeviceType(uint8_t(header[0]));
  if (!result.deviceType) return;
  result.rawImage.reserve(qsizetype(result.chip.blockCount + 1) * LogBlockSize);
}

bool BlockRequests::AskAgain(int replyBytes) const {
  return ClassifyBlockReply(replyBytes) != BlockReplyKind::Full &&
         requestsMade < (deviceGone ? 1 : RequestsPerBlock);
}

void BlockRequests::BlockDone(int replyBytes, ReadoutResult& result) {
  const BlockReplyKind reply = ClassifyBlockReply(replyBytes);
  if (reply != BlockReplyKind::Full) result.blocksWithoutReply.append({block, replyBytes});
  if (reply != BlockReplyKind::None) {
    silentInARow = 0;
  } else {
    deviceGone = deviceGone || ++silentInARow >= SilentBlocksUntilGone;
  }
  ++block;
  requestsMade = 0;
}

namespace {

// How many bytes of each log block are the device's: all of a block that came whole, the first bytes
// of a short reply, none of a block without a reply or with an oversized one.
std::vector<int> ArrivedBytes(int blockCount, const QList<MissedBlock>& missedBlocks) {
  std::vector<int> arrived(size_t(blockCount), LogBlockSize);
  for (const MissedBlock& missed : missedBlocks) {
    if (missed.block >= 0 && missed.block < blockCount)
      arrived[size_t(missed.block)] = missed.kind() == BlockReplyKind::Short ? missed.replyBytes : 0;
  }
  return arrived;
}

// Whether the log bytes from `start` on, `length` of them, all arrived.
bool Arrived(const std::vector<int>& arrived, size_t start, size_t length) {
  for (size_t byte = start; byte < start + length;) {
    const size_t block = byte / LogBlockSize;
    const size_t inBlock = byte % LogBlockSize;
    const size_t here = std::min(start + length - byte, LogBlockSize - inBlock);
    if (block >= arrived.size() || inBlock + here > size_t(arrived[block])) return false;
    byte += here;
  }
  return true;
}

}  // namespace

void FinishLog(ReadoutResult& result) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(result.rawImage.constData());
  const std::span<const uint8_t> log = std::span(bytes, size_t(result.rawImage.size())).subspan(LogBlockSize);
  result.log = DecodeLog(log, *result.deviceType);

  const int blockCount = int(log.size() / LogBlockSize);
  const std::vector<int> arrived = ArrivedBytes(blockCount, result.blocksWithoutReply);
  const size_t recordLength = size_t(result.deviceType->recordLength);
  std::vector<LogRecord> kept;
  kept.reserve(result.log.records.size());
  // An end record or erased memory arrived: what lies after it was never part of the log.
  bool ended = false;
  bool lost = false;
  for (size_t k = 0; k < result.log.records.size(); ++k) {
    const size_t start = k * recordLength;
    if (Arrived(arrived, start, std::min(recordLength, log.size() - start))) {
      kept.push_back(result.log.records[k]);
      kept.back().followsLostRecords = std::exchange(lost, false);
      ended = ended || kept.back().kind == 'e' || kept.back().kind == 'f' || kept.back().kind == 'n';
    } else if (!ended) {
      ++result.lostRecords;
      lost = true;
    }
  }
  std::vector<bool> whole(static_cast<size_t>(blockCount), false);
  for (int block = 0; block < blockCount; ++block)
    whole[size_t(block)] = arrived[size_t(block)] == LogBlockSize;

  std::vector<LogRecord> ordered = OrderRing(kept);
  result.integrity = CheckLogIntegrity(log, whole, ordered);
  result.memoryOrder = std::move(kept);
  result.log.records = std::move(ordered);
  result.logRead = true;
}
