#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "core/SharedState.h"
#include "decode/ReadoutSteps.h"
#include "link/DeviceExchange.h"
#include "link/DeviceLink.h"

// The readout of a device's whole log as a job on the event loop, which it never blocks: the header
// (DeviceCode and ChipCode), every log block, the decoded lines (DecodedLines) and the time-ordered
// measurement lines (LogLines). An unknown device code (a silent device included) ends the readout
// before any block is requested; blocks are asked for as BlockRequests says, and blocks that stay
// unanswered decode as zero bytes, which ends the decoded lines there, and are listed in the result.
//
// The job works on its own copy of the shared state: its owner takes the state over when the job has
// finished (AdoptReadoutState), or drops it after a cancel, which leaves the owner's state untouched.
class LogReadout : public QObject {
  Q_OBJECT
 public:
  // `link.host` is the device to read.
  LogReadout(SharedState state, const DeviceLink& link, char systemDecimalSeparator,
             QObject* parent = nullptr);

  // Sends the header request. Progress and Finished follow from the event loop.
  void Start();
  // Ends the readout once the exchange in flight is over; Finished follows with Cancelled() set.
  void Cancel();

  bool Running() const { return running_; }
  bool Cancelled() const { return cancelled_; }
  SharedState& State() { return state_; }
  const ReadoutResult& Result() const { return result_; }
  // The text of the error that ended the readout half-way; empty when it ran to its end.
  const QString& Error() const { return error_; }

 signals:
  // After each block: its number (from 0) and the number of blocks.
  void Progress(int block, int blockCount);
  void Finished();

 private:
  void Request(const QByteArray& request);
  void ReplyArrived(const QByteArray& reply, const QString& error);
  void HeaderArrived();
  void BlockArrived(bool answered);
  void End(const QString& error = {});

  SharedState state_;
  DeviceLink link_;
  char systemDecimalSeparator_;
  ReadoutResult result_;
  QString error_;
  DeviceExchange exchange_;
  BlockRequests blocks_;
  bool headerAsked_ = false;
  bool running_ = false;
  bool cancelRequested_ = false;
  bool cancelled_ = false;
};

// Everything a finished readout changed, taken over into the owner's state. The settings lines stay
// the owner's: they may have been saved while the readout ran.
void AdoptReadoutState(SharedState& owner, SharedState&& readout);

// The readout of the device at `host` as one blocking call: the job runs in a local event loop on the
// caller's state (`link.host` becomes `host`). `progress` is called after each block. Errors
// propagate as ValdError; what was decoded so far stays in OutputText and `result`.
void ReadLog(SharedState& state, DeviceLink& link, char systemDecimalSeparator, const QString& host,
             ReadoutResult& result, const std::function<void(int block, int blockCount)>& progress = {});
