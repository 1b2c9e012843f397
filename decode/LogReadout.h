#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "views/WindowModel.h"

// What a readout leaves for its caller beyond the shared state and the window model.
struct ReadoutReport {
  bool deviceFound = false;       // the header named a known device type and its log was read
  QString measurementFile;        // path of the automatic measurement file written, empty if none
  QList<int> blocksWithoutReply;  // log blocks that got no reply, retry included: the log is incomplete
};

// Requests log block `block` and decodes its 512 bytes into OutputText (DecodeLogBlock). A request
// without a reply is repeated while `requests` allows; a block that never answers decodes as zero
// bytes. Returns whether the device answered.
bool ReadLogBlock(SharedState& state, WindowModel& view, DeviceLink& link, int block, int fieldType,
                  char systemDecimalSeparator, int requests = 1);

// Reads the whole log of the device at `host`: the header (device and chip code), every log block,
// the decoded lines (Memo1) and the time-ordered measurement lines (LogLines, Memo2); then redraws the
// views and writes the automatic measurement file. An unknown device code (a silent device included)
// shows "No device" and ends the readout before any block is requested.
//
// A block without a reply is requested once more, until the device has left three blocks in a row
// unanswered: then it is taken as gone and the remaining blocks are requested once each. Blocks that
// stay unanswered decode as zero bytes, which ends the decoded lines there, and are listed in the report.
// `progress` is called after each block with the block's number (from 0) and the number of blocks.
// Socket errors propagate as ValdError; what was decoded so far stays in OutputText.
ReadoutReport ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress = {});
