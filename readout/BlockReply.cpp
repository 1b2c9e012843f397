#include "readout/BlockReply.h"

#include "decode/LogDecoding.h"

BlockReplyKind ClassifyBlockReply(int replyBytes) {
  if (replyBytes <= 0) return BlockReplyKind::None;
  if (replyBytes < LogBlockSize) return BlockReplyKind::Short;
  if (replyBytes == LogBlockSize) return BlockReplyKind::Full;
  return BlockReplyKind::Oversized;
}
