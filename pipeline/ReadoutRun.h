#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "archive/ArchiveWriter.h"
#include "core/Environment.h"
#include "mqtt/MessagePublisher.h"
#include "pipeline/EarlierImages.h"
#include "readout/LogReadout.h"
#include "watch/DeviceClock.h"
#include "watch/LimitRules.h"

// The settings of one run of readouts (one "Lekérdezés", "Összes lekérdezése" or vald_read), parsed
// once as it starts, and what it keeps open for all its readouts: the archive's writer.
struct ReadoutRun {
  Environment env;                  // the program folder, the system's separator, the clock, files on or off
  QByteArray decimalSeparatorText;  // the DecimalSeparator setting the measurement lines are written with
  std::unique_ptr<ArchiveWriter> archive;  // null: no archive
  QString archiveProblem;                  // why env.archive names no usable archive; every readout says so
  LimitRules limits;                       // the limits the logs are checked against; empty: none
  const MessagePublisher* publisher = nullptr;        // where the readouts are published; null: nowhere
  int mqttExpireSeconds = DefaultExpireAfterSeconds;  // how long a published value holds; 0: until the next
  NewOnlyPolicy newOnly;                              // whether a readout asks only for what is new
  QTimeZone zone;  // the devices' time zone (env.timeZone; the system's when that names none)
  // Set: the devices' answers and clocks are watched as well (silent and clock alarms).
  std::optional<DeviceWatchLimits> deviceWatch;
};

// The run for `env`: the archive that env.archive names, with UTC at env.timeZone, opened while the
// first device is being read, so that no readout waits for that after its last reply.
ReadoutRun OpenReadoutRun(const Environment& env, const QByteArray& decimalSeparatorText,
                          LimitRules limits = {}, const MessagePublisher* publisher = nullptr);

// How often a readout of `run` asks a device for its identity: the archive keeps devices by it, and a
// published readout is named by it. Three times while the archive knows no device at the address with
// its code, else once: a missing reply then falls back to the MAC address known there, and a device
// that never gave one is not kept waiting again. Once for a limit rule naming a MAC address; else not
// at all.
IdentityAsks IdentityAsksFor(const ReadoutRun& run);

// How a readout of `run` finds the device's earlier image in the archive (ChooseEarlierImage); none
// when the run reads every block.
EarlierImageOf EarlierImagesFor(const ReadoutRun& run);
