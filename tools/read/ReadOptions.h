#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "link/DeviceLink.h"
#include "mqtt/BrokerLocation.h"
#include "mqtt/HomeAssistantMessages.h"

// What the command line of vald_read asks for.
struct ReadOptions {
  uint16_t port = DeviceLink::DefaultPort;
  QString outFolder;                      // empty: the current folder
  std::optional<char> decimalSeparator;   // Windows-1250 byte; none: the system's
  std::optional<QDateTime> fileNameTime;  // none: the clock at the end of each readout
  QString archive;          // file path, PostgreSQL URL or "off"; empty: archive.sqlite in outFolder
  QString timeZone;         // the site's time zone for the archive's UTC times; empty: the system's
  bool noFiles = false;     // readouts go into the archive only
  int jobs = DefaultJobs;   // devices read at once
  bool json = false;        // one JSON object per device instead of the result line
  bool quiet = false;       // no progress lines, even on a terminal
  QStringList hosts;        // the hosts of the command line, each "HOST" or "HOST:PORT"
  QStringList hostsFiles;   // files of hosts, one a line
  QStringList configFiles;  // cfg.ini files whose five addresses are read
  // The broker every readout is published to, without its password; none: no publishing.
  std::optional<BrokerLocation> mqtt;
  int mqttExpireSeconds = DefaultExpireAfterSeconds;  // how long a published value holds; 0: until the next
  QString limitsFile;      // the limits every log is checked against; empty: limits.csv in outFolder, if any
  QString notifyCommand;   // run through /bin/sh -c once per new alarm; empty: none
  int notifySeconds = 60;  // a notify command still running then is stopped; the run's take five times that
  std::optional<int> staleMinutes;  // a device silent or with records older than this raises an alarm
  std::optional<int>
      clockLimitMinutes;    // how far a device's clock may be off; none: DefaultClockLimitMinutes
  bool full = false;        // every block of every device, even where the archive knows the earlier image
  int fullEveryHours = 24;  // every block of a device whose last full readout is this old

  static constexpr int MaxFullEveryHours = 24 * 366;
  static constexpr int MaxWatchMinutes = 60 * 24 * 366;
  static constexpr int MaxMqttExpireSeconds = 366 * 24 * 3600;

  static constexpr int DefaultJobs = 8;
  static constexpr int MaxJobs = 256;
};

// The outcome of reading the command line: options to run with, a request for the help text or the
// version, or the reason the command line is unusable.
struct ParsedCommandLine {
  std::optional<ReadOptions> options;
  bool helpRequested = false;
  bool versionRequested = false;
  QString error;
};

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it. The output
// folder is checked too (it exists, is a folder and is writable), so that a readout is not wasted.
ParsedCommandLine ParseReadOptions(const QStringList& arguments);

QString ReadUsage();
