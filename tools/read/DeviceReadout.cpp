#include "DeviceReadout.h"

#include <QElapsedTimer>

#include "core/SharedState.h"
#include "core/ValdError.h"
#include "operations/Readout.h"

DeviceOutcome ReadOneDevice(const HostEntry& entry, const Environment& env,
                            const std::function<void(int block, int blockCount)>& progress,
                            ArchiveWriter* archiveWriter) {
  QElapsedTimer clock;
  clock.start();
  DeviceOutcome outcome;
  outcome.host = entry.given;
  SharedState state;
  // One separator for every value, so that the file opens again on a system with that separator.
  state.DecimalSeparatorText = QByteArray(1, env.systemDecimalSeparator);
  // The views are drawn as in the window: a log they refuse is reported.
  WindowModel view;
  DeviceLink link;
  link.port = entry.port;
  ReadoutResult result;
  // Blocks asked for so far: a socket error can end the readout before the last one.
  int blocksAsked = 0;
  // What keeps the readout from being complete, in the order it happened.
  QStringList problems;
  try {
    ReadDeviceLog(
        state, view, link, env, entry.host, result,
        [&](int block, int blockCount) {
          blocksAsked = block + 1;
          if (progress) progress(block, blockCount);
        },
        archiveWriter);
    // A header that came names a device this program does not know; without one there is no device.
    if (!result.deviceFound()) {
      problems << (result.headerAnswered ? QStringLiteral("unknown device code %1").arg(state.DeviceCode)
                                         : QStringLiteral("No device"));
    }
  } catch (const ValdError& error) {
    // A view error comes after the file was written and the log archived: the outcome names all.
    problems << error.Message();
  }
  if (!result.blocksWithoutReply.isEmpty()) {
    problems.prepend(QStringLiteral("incomplete log: %1").arg(MissedBlocksText(result.blocksWithoutReply)));
  }
  if (!result.archiveError.isEmpty()) problems << QStringLiteral("not archived: %1").arg(result.archiveError);
  outcome.error = problems.join(QStringLiteral("; "));
  if (result.deviceFound()) outcome.deviceType = QString::fromLatin1(result.deviceType->name);
  outcome.mac = result.mac;
  outcome.newRecordsArchived = result.archivedLines;
  for (const MissedBlock& missed : result.blocksWithoutReply) outcome.missingBlocks.append(missed.block);
  outcome.blocksRead = blocksAsked - int(result.blocksWithoutReply.size());
  outcome.records = state.LogLines.Count();
  outcome.file = result.measurementFile;
  outcome.seconds = double(clock.elapsed()) / 1000;
  return outcome;
}

QString BlockList(const QList<int>& blocks) {
  QStringList parts;
  for (qsizetype i = 0; i < blocks.size();) {
    qsizetype last = i;
    while (last + 1 < blocks.size() && blocks[last + 1] == blocks[last] + 1) ++last;
    parts.append(last == i ? QString::number(blocks[i])
                           : QStringLiteral("%1-%2").arg(blocks[i]).arg(blocks[last]));
    i = last + 1;
  }
  return parts.join(QStringLiteral(", "));
}

QString MissedBlocksText(const QList<MissedBlock>& missed) {
  QList<int> silent;
  QStringList shortReplies;
  QStringList oversizedReplies;
  for (const MissedBlock& block : missed) {
    const QString sized = QStringLiteral("%1 (%2 bytes)").arg(block.block).arg(block.replyBytes);
    if (block.kind() == BlockReplyKind::None) silent.append(block.block);
    if (block.kind() == BlockReplyKind::Short) shortReplies.append(sized);
    if (block.kind() == BlockReplyKind::Oversized) oversizedReplies.append(sized);
  }
  QStringList parts;
  if (!silent.isEmpty()) parts << QStringLiteral("no reply for blocks ") + BlockList(silent);
  if (!shortReplies.isEmpty()) {
    parts << QStringLiteral("short reply for blocks ") + shortReplies.join(QStringLiteral(", "));
  }
  if (!oversizedReplies.isEmpty()) {
    parts << QStringLiteral("oversized reply for blocks ") + oversizedReplies.join(QStringLiteral(", "));
  }
  return parts.join(QStringLiteral("; "));
}
