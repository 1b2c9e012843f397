#include "decode/LogReadout.h"

#include <QEventLoop>

#include "core/ValdError.h"
#include "link/Exchanges.h"
#include "link/MemoryMap.h"

LogReadout::LogReadout(SharedState state, const DeviceLink& link, char systemDecimalSeparator,
                       QObject* parent)
    : QObject(parent),
      state_(std::move(state)),
      link_(link),
      systemDecimalSeparator_(systemDecimalSeparator) {
  connect(&exchange_, &DeviceExchange::Finished, this, &LogReadout::ReplyArrived);
}

void LogReadout::Start() {
  result_.host = link_.host;
  running_ = true;
  Request(MemoryReadRequest(HeaderAddress));
}

void LogReadout::Cancel() {
  if (running_) cancelRequested_ = true;
}

void LogReadout::Request(const QByteArray& request) {
  exchange_.Start(link_, PrepareReceiveBufferRequest(state_, request), DeviceLink::ReplyTimeoutMs,
                  SharedState::ReceiveBufferSize);
}

void LogReadout::ReplyArrived(const QByteArray& reply, const QString& error) {
  if (cancelRequested_) {
    cancelled_ = true;
    End();
    return;
  }
  if (!error.isEmpty()) {
    End(error);
    return;
  }
  try {
    const bool answered = TakeIntoReceiveBuffer(state_, reply) > 0;
    if (!headerAsked_) {
      headerAsked_ = true;
      result_.headerAnswered = answered;
      HeaderArrived();
    } else {
      BlockArrived(answered);
    }
  } catch (const ValdError& e) {
    End(e.Message());
  }
}

void LogReadout::HeaderArrived() {
  AppendReceiveBufferAsText(state_);
  TakeLogHeader(state_, result_);
  if (!result_.deviceFound()) {
    End();
    return;
  }
  blocks_ = BlockRequests{result_.chip.blockCount};
  if (blocks_.Done()) {
    FinishLog(state_, result_);
    End();
    return;
  }
  blocks_.requestsMade = 1;
  Request(LogBlockRequest(blocks_.block));
}

void LogReadout::BlockArrived(bool answered) {
  result_.receivedByteCount = state_.ReceivedByteCount;
  if (blocks_.AskAgain(answered)) {
    ++blocks_.requestsMade;
    Request(LogBlockRequest(blocks_.block));
    return;
  }
  const int block = blocks_.block;
  KeepRawBlock(state_, result_);
  blocks_.BlockDone(answered, result_);
  // The next request goes out before this block is decoded: decoding then overlaps the device's reply
  // time. The reply lands in ReceiveBuffer only when it arrives, after the decoding.
  if (!blocks_.Done()) {
    blocks_.requestsMade = 1;
    Request(LogBlockRequest(blocks_.block));
  }
  DecodeReceivedBlock(state_, result_.deviceType->fieldType, systemDecimalSeparator_);
  emit Progress(block, blocks_.blockCount);
  if (blocks_.Done()) {
    FinishLog(state_, result_);
    End();
  }
}

void LogReadout::End(const QString& error) {
  running_ = false;
  error_ = error;
  emit Finished();
}

void AdoptReadoutState(SharedState& owner, SharedState&& readout) {
  readout.SettingsLines = std::move(owner.SettingsLines);
  owner = std::move(readout);
}

void ReadLog(SharedState& state, DeviceLink& link, char systemDecimalSeparator, const QString& host,
             ReadoutResult& result, const std::function<void(int block, int blockCount)>& progress) {
  link.host = host;
  LogReadout job(std::move(state), link, systemDecimalSeparator);
  if (progress) QObject::connect(&job, &LogReadout::Progress, progress);
  QEventLoop loop;
  QObject::connect(&job, &LogReadout::Finished, &loop, &QEventLoop::quit);
  job.Start();
  loop.exec();
  state = std::move(job.State());
  result = job.Result();
  if (!job.Error().isEmpty()) throw ValdError(job.Error());
}
