#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/Environment.h"
#include "core/TextLines.h"
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

// "mac sn reg...": asks the device at `host` for its identity and adds it to sales.csv in the program's
// folder (AddToRegistrationList). sales.csv must exist (an empty file will do) and is read before the
// device is asked; it is written only when the entry was added, and the verdict is set once it is.
void RegisterIdentity(DeviceLink& link, const Environment& env, const QString& host,
                      RegistrationResult& result);

// The list side of "mac sn reg...": adds the entry "yy.mm.dd;<reply>" (today's date) to the lines of
// sales.csv unless a line with the same MAC address (characters 10..26, case counts) is there already; a
// list of less than 20 characters gets the header line first. `entry` is set when the reply is not empty;
// after Added, `list` holds what sales.csv is to hold. A reply holding control characters is refused with
// ValdError naming `host`, as it would split the list's lines.
RegistrationVerdict AddToRegistrationList(TextLines& list, const QByteArray& reply, const Environment& env,
                                          const QString& host, QByteArray& entry);
