#pragma once

// What the reply to a log block request was, judged by its length alone: a block is 512 bytes. Only a
// full reply is a complete block; a short one is decoded as far as it goes and an oversized one by its
// first 512 bytes, but neither completes the log.
enum class BlockReplyKind { None, Short, Full, Oversized };

BlockReplyKind ClassifyBlockReply(int replyBytes);
