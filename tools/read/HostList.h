#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/TextLines.h"

// One device to read, as the command line, a hosts file or a cfg.ini names it.
struct HostEntry {
  QString given;   // the entry as given: "10.0.0.5" or "10.0.0.5:6300"; it starts the device's result line
  QString host;    // the address or name to send to
  uint16_t port;   // the UDP port of the device
  QString folder;  // the device's subfolder when several devices are read: the host, "_PORT" added when
                   // the entry gives its own port, so two devices behind one address keep apart
};

// "HOST", "HOST:PORT", or an IPv6 address in brackets, with or without a port of its own ("[::1]:17262");
// an entry with more than one ":" and no brackets is an IPv6 address without a port. The host names a folder
// of its own, so it may hold no blank, no path separator and not be "." or "..". Throws ValdError with the
// reason the entry is no host.
HostEntry ParseHostEntry(const QString& text, uint16_t defaultPort);

// The entries of the hosts file at `path`: one a line, "#" starts a comment, blank lines are passed over.
// Throws ValdError "FILE line N: reason" for the first line that holds no entry, and the errors of
// ReadEditedFile.
QList<HostEntry> ParseHostsFile(const QString& path, uint16_t defaultPort);

// The addresses ip1 .. ip5 of a cfg.ini, the empty ones passed over, on its UDPport (`defaultPort` when
// it has none). Throws ValdError "FILE line N: reason" for a key whose value is unusable.
QList<HostEntry> HostsOfSettings(const TextLines& settings, const QString& fileName, uint16_t defaultPort);

// The devices of a run, and what the user is told about the list.
struct HostList {
  QList<HostEntry> entries;
  QStringList warnings;  // a device given again under another spelling, read once
};

// Every device a run reads: the command-line hosts, then those of each hosts file, then those of each
// cfg.ini (read as ParseHostsFile reads a hosts file). A device given again under another spelling
// ("10.0.0.5:6262" for "10.0.0.5" on port 6262, "10.000.0.5") is read once, under its first spelling,
// with a warning. Throws ValdError for an unreadable file, a malformed entry, an entry given twice, an
// entry whose folder is already taken by another device, or no entry at all.
HostList CollectHosts(const QStringList& hosts, const QStringList& hostsFiles, const QStringList& configFiles,
                      uint16_t defaultPort);
