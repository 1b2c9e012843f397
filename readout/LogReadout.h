#pragma once

#include <QFuture>
#include <QObject>
#include <QString>
#include <functional>

#include "core/SharedState.h"
#include "link/DeviceExchange.h"
#include "link/DeviceLink.h"
#include "readout/IncrementalRead.h"
#include "readout/ReadoutSteps.h"

// The readout of a device's whole log as a job on the event loop, which it never blocks: the header
// (DeviceCode and ChipCode), the device's identity when it is wanted, every log block, and the log
// decoded into records in memory and in time order. It is the only step of a readout that talks to
// the device. An unknown device code (a silent device included) ends the readout before any block is
// requested, an oversized header ends it with an error; blocks are asked for as BlockRequests says.
// Blocks that get no full reply are listed in the result: a missing or short reply decodes as zero
// bytes from where it ends, which ends the log there, an oversized one by its first 512 bytes.
//
// The job keeps what it got in its result; its owner takes that over into the shared state when the
// job has finished (AdoptReadout), or drops it after a cancel, which leaves the shared state untouched.
// The archive's questions are answered on any thread; the readout goes on on its own once the answer is
// in, so that the event loop it shares with other readouts is not held while the archive is asked. The
// answer always comes: a question the archive cannot answer gets the answer that asks nothing of it.
//
// How often a readout asks for the identity of the device at `host` whose header gave `deviceCode`.
using IdentityAsks = std::function<QFuture<int>(const QString& host, int deviceCode)>;

// The image of the device's last readout, to read only what is new since (empty: read the whole log,
// for `fullReason`, which may be empty when there is no earlier readout to go by).
struct EarlierImage {
  QByteArray image;
  QString fullReason;
};
// The earlier image for the device a readout has found, asked once its header and identity are in.
using EarlierImageOf = std::function<QFuture<EarlierImage>(const ReadoutResult& found)>;

class LogReadout : public QObject {
  Q_OBJECT
 public:
  // `link.host` is the device to read; `identityAsks` tells how often its identity is asked for once
  // the header named the device (for the archive, which keeps a device by its MAC address): 0 for not
  // at all; a request without a reply is asked again as often. `receivedByteCount` is the shared count
  // as the readout starts: the header's reply adds to it before the readout counts anew.
  LogReadout(const DeviceLink& link, const IdentityAsks& identityAsks = {}, int receivedByteCount = 0,
             QObject* parent = nullptr);

  // Reads only the blocks with new records when `earlierImageOf` gives an image to patch
  // (IncrementalRead), else, or when that picture turns out stale or a block does not answer, every block.
  void ReadOnlyWhatIsNew(const EarlierImageOf& earlierImageOf) { earlierImageOf_ = earlierImageOf; }

  // Leaves the decoding of the log, once every block is in, to the caller (DecodeReadoutLog), which may
  // run it on a thread of its own: the readout's thread then only talks to the device.
  void LeaveDecoding() { leaveDecoding_ = true; }

  // Sends the header request. Progress and Finished follow from the event loop.
  void Start();
  // Ends the readout once the exchange in flight is over; Finished follows with Cancelled() set.
  void Cancel();

  bool Running() const { return running_; }
  bool Cancelled() const { return cancelled_; }
  const ReadoutResult& Result() const { return result_; }
  // The result, taken over by the caller once the readout has finished.
  ReadoutResult TakeResult() { return std::move(result_); }
  // The text of the error that ended the readout half-way; empty when it ran to its end.
  const QString& Error() const { return error_; }

 signals:
  // After each block: its number (from 0) and the number of blocks.
  void Progress(int block, int blockCount);
  void Finished();

 private:
  void Request(const QByteArray& request);
  void ReplyArrived(const ExchangeReply& reply, const QString& error);
  // Runs `step`, the handling of a reply or of the archive's answer: a cancel asked for meanwhile or an
  // error ends the readout instead.
  void Resume(const std::function<void()>& step);
  void IdentityAsksKnown(int asks);
  void AskIdentity();
  void IdentityArrived(const ExchangeReply& reply);
  void AskFirstBlock();
  void PlanIncrementalRead(const EarlierImage& earlier);
  void RequestBlock(int block);
  void NewBlockArrived(const ExchangeReply& reply);
  void ReadInFull(const QString& reason);
  void AskEveryBlock();
  void HeaderArrived(const ExchangeReply& reply);
  void BlockArrived(const ExchangeReply& reply);
  // Every block is in: the log is decoded, or left to the caller.
  void LogComplete();
  void End(const QString& error = {});

  DeviceLink link_;
  int receivedByteCount_ = 0;
  IdentityAsks identityAsks_;
  int identityRequestsLeft_ = 0;
  ReadoutResult result_;
  QString error_;
  DeviceExchange exchange_;
  BlockRequests blocks_;
  EarlierImageOf earlierImageOf_;
  std::optional<IncrementalRead> incremental_;
  // What the exchange in flight asks for.
  enum class Asking { Identity, Header, Block, NewBlock };
  Asking asking_ = Asking::Header;
  bool leaveDecoding_ = false;
  bool running_ = false;
  bool cancelRequested_ = false;
  bool cancelled_ = false;
};

// Decodes the log of a readout whose every block is in (FinishLog), with the records an incremental
// readout's earlier image held.
void DecodeReadoutLog(ReadoutResult& result);

// What a finished readout changes in the shared state once its header was read: the readout's reset
// (the line lists cleared, ReceivedByteCount counting the block replies only), DeviceCode and ChipCode
// from the header, RecordLength of a known device type.
void AdoptReadout(SharedState& state, const ReadoutResult& result);

// The readout of the device at `host` as one blocking call: the job runs in a local event loop and
// its result is adopted into `state` (`link.host` becomes `host`). `progress` is called after each block;
// `earlierImageOf`, when given, lets the readout ask only for what is new (ReadOnlyWhatIsNew).
// Errors propagate as ValdError; what the device gave until then stays in `result`.
void ReadLog(SharedState& state, DeviceLink& link, const IdentityAsks& identityAsks, const QString& host,
             ReadoutResult& result, const std::function<void(int block, int blockCount)>& progress = {},
             const EarlierImageOf& earlierImageOf = {});
