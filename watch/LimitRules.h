#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "core/TextLines.h"
#include "decode/DeviceCatalogue.h"

// The limits file: one rule a line, "DEVICE;CHANNEL;LOW;HIGH" or "DEVICE;CHANNEL;LOW;HIGH;DELAY;HYSTERESIS".
// DEVICE is a MAC address, a host (with ":PORT" for one device behind that address alone), a type name
// or "*"; a word of capital letters alone names a type, so a misspelt type is refused rather than taken
// for a host. CHANNEL is a value column number (1 = the first value) or a quantity key, which takes
// every column of that quantity; LOW and HIGH are numbers with "." as the decimal separator, or empty
// for no limit on that side. DELAY (minutes) and HYSTERESIS (in the channel's unit) are numbers of at
// least 0, empty for 0. "#" starts a comment; blank lines are passed over.
inline constexpr char LimitsFileName[] = "limits.csv";

// How closely a rule names its device; a closer one wins over a wider one.
enum class DeviceMatch { Any, Type, Host, Mac };

// The values a channel may take: a value below `low` or above `high` is beyond its limit. An excursion
// beyond it is an alarm once it has lasted `delayMinutes`, and is over once the value is back inside the
// limit by `hysteresis`.
struct ChannelLimit {
  std::optional<double> low;
  std::optional<double> high;
  double delayMinutes = 0;
  double hysteresis = 0;

  bool IsSet() const { return low || high; }
  bool operator==(const ChannelLimit&) const = default;
};

struct LimitRule {
  DeviceMatch match = DeviceMatch::Any;
  QString device;    // the MAC address (upper case), host or type name as written; empty for "*"
  int port = 0;      // for a host written "HOST:PORT", its port; 0: any port of the host
  int column = 0;    // value column from 1, or 0 when `quantity` names the channels
  QString quantity;  // quantity key, when no column number is given
  ChannelLimit limit;
  int line = 0;  // line of the file, from 1
  QString text;  // the rule as the line writes it, without its comment
};

// What names the device whose log is checked; an empty name matches no rule of its kind.
struct DeviceNames {
  QString mac;
  QString host;
  QString type;
  int port = 0;  // the UDP port the device answered on; 0: not known
};

class LimitRules {
 public:
  LimitRules() = default;
  explicit LimitRules(std::vector<LimitRule> rules) : rules_(std::move(rules)) {}

  const std::vector<LimitRule>& Rules() const { return rules_; }
  bool IsEmpty() const { return rules_.empty(); }
  // Whether a rule names a device by its MAC address, which only its identity reply tells.
  bool NameMacs() const;

  // The limit of one value column (from 0) of the device's catalogue row: the rule that names the
  // device most closely (MAC, host, type, "*"); of two that name it alike, one naming the column by
  // its number wins over one naming its quantity, and then the later line wins. No limit when no rule
  // applies.
  ChannelLimit LimitOf(const DeviceNames& device, const DeviceType& type, int column) const;
  // The limits of every value column of the row, in column order.
  std::vector<ChannelLimit> LimitsOf(const DeviceNames& device, const DeviceType& type) const;
  // The rules (indexes into Rules()) that name the device and at least one of its value columns.
  std::vector<size_t> RulesNaming(const DeviceNames& device, const DeviceType& type) const;

 private:
  std::vector<LimitRule> rules_;
};

// Reads the rules of a limits file's content. A malformed line throws ValdError
// "FILE line N: reason", naming `fileName`.
LimitRules ReadLimitRules(const QByteArray& content, const QString& fileName);
// The same for the lines of a limits file, checked already (see CheckEditedLines).
LimitRules ReadLimitRules(const TextLines& lines, const QString& fileName);

// The rules of the limits file at `path`; none when there is no such file. A file that cannot be read
// or holds a malformed line throws ValdError.
LimitRules LoadLimitRules(const QString& path);
// The same for a file that must be there: a missing one throws too. The file is read as ReadEditedFile
// reads it.
LimitRules ReadLimitsFile(const QString& path);
