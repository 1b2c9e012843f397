#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "decode/DeviceCatalogue.h"

// The limits file: one rule a line, "DEVICE;CHANNEL;LOW;HIGH". DEVICE is a MAC address, a host, a type
// name or "*"; CHANNEL a value column number (1 = the first value) or a quantity key, which takes every
// column of that quantity; LOW and HIGH are numbers with "." as the decimal separator, or empty for no
// limit on that side. "#" starts a comment; blank lines are passed over.
inline constexpr char LimitsFileName[] = "limits.csv";

// How closely a rule names its device; a closer one wins over a wider one.
enum class DeviceMatch { Any, Type, Host, Mac };

// The values a channel may take: a value below `low` or above `high` is beyond its limit.
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
  int column = 0;    // value column from 1, or 0 when `quantity` names the channels
  QString quantity;  // quantity key, when no column number is given
  ChannelLimit limit;
  int line = 0;  // line of the file, from 1
};

// What names the device whose log is checked; an empty name matches no rule of its kind.
struct DeviceNames {
  QString mac;
  QString host;
  QString type;
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

 private:
  std::vector<LimitRule> rules_;
};

// Reads the rules of a limits file's content. A malformed line throws ValdError
// "FILE line N: reason", naming `fileName`.
LimitRules ReadLimitRules(const QByteArray& content, const QString& fileName);

// The rules of the limits file at `path`; none when there is no such file. A file that cannot be read
// or holds a malformed line throws ValdError.
LimitRules LoadLimitRules(const QString& path);
