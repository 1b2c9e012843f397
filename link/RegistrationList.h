#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"

// How a registration ended.
enum class RegistrationVerdict {
  NoData,         // the device sent no identity
  AlreadyListed,  // sales.csv has a line with the same MAC address
  Added,          // the entry was added to sales.csv
};

// What "mac sn reg..." did, as far as it got.
struct RegistrationResult {
  std::optional<QByteArray> reply;             // the identity text, once the device was asked
  QByteArray entry;                            // "yy.mm.dd;<reply>" when a verdict needed one
  std::optional<RegistrationVerdict> verdict;  // nothing when the registration ended in an error
};

// "mac sn reg...": asks the device at `host` for its identity and adds "yy.mm.dd;<reply>" to sales.csv
// in the program's folder unless a line with the same MAC address (characters 10..26, case counts) is
// there already. sales.csv must exist (an empty file will do; a header line is added to a file of less
// than 20 characters). A reply holding control characters is refused, as it would split the list's lines.
void RegisterIdentity(SharedState& state, DeviceLink& link, const Environment& env, const QString& host,
                      RegistrationResult& result);
