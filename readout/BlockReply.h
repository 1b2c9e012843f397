#pragma once

// What the reply to a log block request was, judged by its length alone: a block is 512 bytes. Only a
// full reply is a complete block; a short one is decoded as far as it goes and an oversized one by its
// first 512 bytes, but neither completes the log.
enum class BlockReplyKind { None, Short, Full, Oversized };

BlockReplyKind ClassifyBlockReply(int replyBytes);

// A log block that got no full reply, retry included, and the length of its last reply: 0 for none,
// fewer than 512 bytes for a short one, more for an oversized one.
struct MissedBlock {
  int block = 0;
  int replyBytes = 0;

  BlockReplyKind kind() const { return ClassifyBlockReply(replyBytes); }
  bool operator==(const MissedBlock&) const = default;
};
