#include "readout/LogReadout.h"

#include <QEventLoop>

#include "core/ValdError.h"
#include "decode/LogDecoding.h"
#include "link/Exchanges.h"
#include "link/MemoryMap.h"
#include "readout/EarlierRecords.h"

LogReadout::LogReadout(const DeviceLink& link, const IdentityAsks& identityAsks, int receivedByteCount,
                       QObject* parent)
    : QObject(parent), link_(link), receivedByteCount_(receivedByteCount), identityAsks_(identityAsks) {
  connect(&exchange_, &DeviceExchange::Finished, this, &LogReadout::ReplyArrived);
}

void LogReadout::Start() {
  result_.host = link_.host;
  result_.port = link_.port;
  running_ = true;
  asking_ = Asking::Header;
  Request(MemoryReadRequest(HeaderAddress));
}

void LogReadout::Cancel() {
  if (running_) cancelRequested_ = true;
}

void LogReadout::Request(const QByteArray& request) {
  exchange_.Start(link_, RequestDatagram(request), DeviceLink::ReplyTimeoutMs, ReceiveBufferSize);
}

void LogReadout::ReplyArrived(const ExchangeReply& reply, const QString& error) {
  Resume([&] {
    if (!error.isEmpty()) {
      End(error);
      return;
    }
    switch (asking_) {
      case Asking::Identity:
        IdentityArrived(reply);
        break;
      case Asking::Header:
        // The header is judged as every reply but a log block's: a longer one than fits is an error.
        FittingReply(reply.length, link_.host);
        HeaderArrived(reply);
        break;
      case Asking::Block:
        BlockArrived(reply);
        break;
      case Asking::NewBlock:
        NewBlockArrived(reply);
        break;
    }
  });
}

void LogReadout::AskIdentity() {
  asking_ = Asking::Identity;
  --identityRequestsLeft_;
  exchange_.Start(link_, RequestDatagram(IdentityRequest), DeviceLink::ReplyTextTimeoutMs, ReceiveBufferSize);
}

void LogReadout::IdentityArrived(const ExchangeReply& reply) {
  // The identity is a text up to its first zero byte; a reply longer than a buffer is read as far
  // as it was taken.
  result_.identity = ReplyText(reply);
  if (result_.identity.isEmpty() && identityRequestsLeft_ > 0) {
    AskIdentity();
    return;
  }
  AskFirstBlock();
}

void LogReadout::HeaderArrived(const ExchangeReply& reply) {
  result_.headerAnswered = reply.length > 0;
  // The device that answered the header is the one read: a request to a broadcast address takes no
  // reply of another device after it.
  if (result_.headerAnswered && !reply.sender.isEmpty()) link_.host = reply.sender;
  result_.receivedByteCount = receivedByteCount_ + reply.length;
  TakeLogHeader(ReplyBlock(reply), result_);
  if (!result_.deviceFound()) {
    End();
    return;
  }
  if (!identityAsks_) {
    AskFirstBlock();
    return;
  }
  identityAsks_(result_.host, result_.DeviceCode()).then(this, [this](int asks) {
    Resume([&] { IdentityAsksKnown(asks); });
  });
}

void LogReadout::Resume(const std::function<void()>& step) {
  if (cancelRequested_) {
    cancelled_ = true;
    End();
    return;
  }
  try {
    step();
  } catch (const ValdError& e) {
    End(e.Message());
  }
}

void LogReadout::IdentityAsksKnown(int asks) {
  identityRequestsLeft_ = asks;
  if (identityRequestsLeft_ > 0) {
    result_.identityAsked = true;
    AskIdentity();
    return;
  }
  AskFirstBlock();
}

void LogReadout::AskFirstBlock() {
  if (!earlierImageOf_) {
    AskEveryBlock();
    return;
  }
  earlierImageOf_(result_).then(this, [this](const EarlierImage& earlier) {
    Resume([&] {
      PlanIncrementalRead(earlier);
      if (!incremental_) {
        AskEveryBlock();
        return;
      }
      asking_ = Asking::NewBlock;
      RequestBlock(incremental_->NextBlock());
    });
  });
}

void LogReadout::PlanIncrementalRead(const EarlierImage& earlier) {
  result_.fullReason = earlier.fullReason;
  if (earlier.image.isEmpty()) return;
  if (earlier.image.left(2) != result_.rawImage.left(2)) {
    result_.fullReason = QStringLiteral("another device code or chip");
    return;
  }
  incremental_ = IncrementalRead::Plan(earlier.image.mid(LogBlockSize), result_.deviceType->recordLength,
                                       result_.chip.blockCount, result_.fullReason);
  if (incremental_) result_.earlierImage = earlier.image;
}

void LogReadout::RequestBlock(int block) {
  ++result_.blockRequests;
  Request(LogBlockRequest(block));
}

void LogReadout::NewBlockArrived(const ExchangeReply& reply) {
  const int block = incremental_->NextBlock();
  result_.blockReplyBytes += reply.length;
  result_.receivedByteCount = result_.blockReplyBytes;
  if (ClassifyBlockReply(reply.length) != BlockReplyKind::Full) {
    ReadInFull(QStringLiteral("block %1 did not answer in full").arg(block));
    return;
  }
  const IncrementalRead::Step step = incremental_->Take(ReplyBlock(reply));
  emit Progress(block, result_.chip.blockCount);
  switch (step) {
    case IncrementalRead::Step::Continue:
      RequestBlock(incremental_->NextBlock());
      break;
    case IncrementalRead::Step::Stale:
      ReadInFull(incremental_->StaleReason());
      break;
    case IncrementalRead::Step::Done:
      result_.incremental = true;
      result_.rawImage.append(incremental_->Log());
      LogComplete();
      break;
  }
}

void LogReadout::ReadInFull(const QString& reason) {
  result_.fullReason = reason;
  incremental_.reset();
  result_.earlierImage.clear();
  AskEveryBlock();
}

void LogReadout::AskEveryBlock() {
  blocks_ = BlockRequests{result_.chip.blockCount};
  asking_ = Asking::Block;
  if (blocks_.Done()) {
    LogComplete();
    return;
  }
  blocks_.requestsMade = 1;
  RequestBlock(blocks_.block);
}

void LogReadout::BlockArrived(const ExchangeReply& reply) {
  const int replyBytes = reply.length;
  result_.blockReplyBytes += replyBytes;
  result_.receivedByteCount = result_.blockReplyBytes;
  if (blocks_.AskAgain(replyBytes)) {
    ++blocks_.requestsMade;
    RequestBlock(blocks_.block);
    return;
  }
  const int block = blocks_.block;
  result_.rawImage.append(ReplyBlock(reply));
  blocks_.BlockDone(replyBytes, result_);
  // The next request goes out before this block is handed on, so that the device is busy meanwhile.
  if (!blocks_.Done()) {
    blocks_.requestsMade = 1;
    RequestBlock(blocks_.block);
  }
  emit Progress(block, blocks_.blockCount);
  if (blocks_.Done()) LogComplete();
}

void LogReadout::LogComplete() {
  if (leaveDecoding_) {
    result_.decodingLeft = true;
  } else {
    DecodeReadoutLog(result_);
  }
  End();
}

void DecodeReadoutLog(ReadoutResult& result) {
  result.decodingLeft = false;
  FinishLog(result);
  if (!result.incremental) return;
  result.inEarlierImage =
      RecordsInEarlierImage(result.rawImage, result.earlierImage, result.deviceType->recordLength);
  // One flag per record of the log, or none at all.
  if (result.inEarlierImage.size() != result.log.records.size()) result.inEarlierImage.clear();
}

void LogReadout::End(const QString& error) {
  running_ = false;
  error_ = error;
  emit Finished();
}

void AdoptReadout(SharedState& state, const ReadoutResult& result) {
  if (!result.headerRead) return;
  state.ReceivedByteCount = result.blockReplyBytes;
  state.DecodedLines.Clear();
  state.LogRecords.Clear();
  state.DeviceCode = uint8_t(result.rawImage[0]);
  state.ChipCode = uint8_t(result.rawImage[1]);
  if (result.deviceType) state.RecordLength = result.deviceType->recordLength;
}

void ReadLog(SharedState& state, DeviceLink& link, const IdentityAsks& identityAsks, const QString& host,
             ReadoutResult& result, const std::function<void(int block, int blockCount)>& progress,
             const EarlierImageOf& earlierImageOf) {
  link.host = host;
  LogReadout job(link, identityAsks, state.ReceivedByteCount);
  job.ReadOnlyWhatIsNew(earlierImageOf);
  if (progress) QObject::connect(&job, &LogReadout::Progress, progress);
  QEventLoop loop;
  QObject::connect(&job, &LogReadout::Finished, &loop, &QEventLoop::quit);
  job.Start();
  loop.exec();
  result = job.Result();
  AdoptReadout(state, result);
  if (!job.Error().isEmpty()) throw ValdError(job.Error());
}
