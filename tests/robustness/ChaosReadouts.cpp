#include "robustness/ChaosReadouts.h"

#include <QDir>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/ValdError.h"
#include "decode/DeviceCatalogue.h"
#include "decode/LogDecoding.h"
#include "files/MeasurementLine.h"
#include "link/MemoryMap.h"
#include "operations/Readout.h"
#include "readout/BlockReply.h"
#include "support/SimulatorFixture.h"
#include "support/SpoiltReply.h"
#include "support/TempFolder.h"
#include "tools/sim/DeviceImage.h"
#include "tools/sim/LogGenerator.h"

namespace {

const QDateTime ReadoutTime(QDate(2023, 12, 3), QTime(14, 5));

// A device the seeds take turns with, and the file a readout of it without faults writes.
struct ChaosDevice {
  SimulatorConfig config;
  QString fileName;
  QByteArray cleanFile;
};

SimulatorConfig DeviceConfig(int deviceCode, int recordCount) {
  SimulatorConfig config;
  config.deviceCode = deviceCode;
  config.chipCode = 1;
  config.recordCount = recordCount;
  config.seed = 7;
  return config;
}

// What a readout left behind: its result as far as it got, its error, and the files in its folder.
struct ChaosReadout {
  ReadoutReport result;
  QString error;
  int deviceCode = 0;
  QStringList files;
  QByteArray file;
  QList<QByteArray> requests;
};

// Devices read at the same time have addresses of their own, as real devices do: a late reply of one
// that reaches another readout's socket (ports are used again) is then passed over as a stranger's.
QHostAddress DeviceAddress(int worker) {
  return QHostAddress(QHostAddress(QStringLiteral("127.0.1.1")).toIPv4Address() + uint32_t(worker));
}

ChaosReadout ReadDevice(const SimulatorConfig& config, const QHostAddress& address) {
  RunningSimulator simulator(config, address);
  TempFolder folder;
  Environment env;
  env.programFolder = folder.Path();
  env.systemDecimalSeparator = ',';
  env.now = [] { return ReadoutTime; };
  SharedState state;
  state.DecimalSeparatorText = ",";
  WindowModel view;
  DeviceLink link;
  link.port = simulator.Port();
  ChaosReadout readout;
  try {
    ReadDeviceLog(state, view, link, env, address.toString(), readout.result, readout.result);
  } catch (const ValdError& error) {
    readout.error = error.Message();
  } catch (const std::exception& error) {
    readout.error = QStringLiteral("unexpected exception: %1").arg(QString::fromUtf8(error.what()));
  }
  readout.deviceCode = state.DeviceCode;
  readout.files = QDir(folder.Path()).entryList(QDir::Files);
  if (readout.files.size() == 1) readout.file = folder.Read(readout.files[0]);
  readout.requests = simulator.Requests();
  return readout;
}

std::vector<ChaosDevice> ChaosDevices() {
  std::vector<ChaosDevice> devices;
  for (const auto& [code, records] : {std::pair{2, 300}, std::pair{43, 1000}, std::pair{55, 400}}) {
    ChaosDevice device{DeviceConfig(code, records), {}, {}};
    const ChaosReadout clean = ReadDevice(device.config, QHostAddress::LocalHost);
    if (!clean.error.isEmpty() || !clean.result.blocksWithoutReply.isEmpty() || clean.files.size() != 1) {
      throw std::runtime_error("the fault-free readout of a chaos device went wrong");
    }
    device.fileName = clean.files[0];
    device.cleanFile = clean.file;
    devices.push_back(device);
  }
  return devices;
}

// The log block a request asks for, or nothing for another request.
std::optional<int> RequestedBlock(const QByteArray& request) {
  if (!request.startsWith("ED")) return std::nullopt;
  bool ok = false;
  const int block = request.mid(2, request.indexOf('\0') - 2).toInt(&ok);
  return ok ? std::optional(block) : std::nullopt;
}

// The measurement file of a readout that got no full reply for `missed`: the device's records that lie
// wholly on the bytes that came, and nothing else.
QByteArray ExpectedFile(const ChaosDevice& device, const QList<MissedBlock>& missed) {
  const DeviceImage image = SimulatedDeviceImage(device.config);
  ReadoutResult result;
  result.rawImage = image.MemoryAt(HeaderAddress) + image.log;
  result.deviceType = LookUpDeviceType(device.config.deviceCode);
  result.blocksWithoutReply = missed;
  FinishLog(result);
  return FormatMeasurementLines(result.log.records, result.log.values, {',', ','}).Text();
}

// Every broken invariant of one readout.
QStringList Violations(uint32_t seed, const ChaosDevice& device, const ChaosReadout& readout) {
  QStringList broken;
  const auto report = [&](const QString& what) {
    broken
        << QStringLiteral("seed %1 (device code %2): %3").arg(seed).arg(device.config.deviceCode).arg(what);
  };
  const bool complete =
      readout.error.isEmpty() && readout.result.deviceFound() && readout.result.blocksWithoutReply.isEmpty();
  if (complete && (readout.files != QStringList{device.fileName} || readout.file != device.cleanFile)) {
    report(QStringLiteral("a complete readout's files differ from the fault-free readout's (%1)")
               .arg(readout.files.join(QStringLiteral(", "))));
  }
  if (LookUpDeviceType(readout.deviceCode) && readout.files.size() != 1) {
    report(QStringLiteral("the header named a device and %1 files were left (%2)")
               .arg(readout.files.size())
               .arg(readout.error));
  }
  // Blocks are named whenever the log was read, even when the views refused it afterwards.
  if (!readout.result.deviceFound() || !readout.result.logRead) return broken;

  // The last request of each block and the fault its reply got.
  QMap<int, ReplyFault> lastFault;
  for (qsizetype i = 0; i < readout.requests.size(); ++i) {
    if (const auto block = RequestedBlock(readout.requests[i])) lastFault[*block] = ChaosFault(seed, int(i));
  }
  QMap<int, int> named;
  for (const MissedBlock& missed : readout.result.blocksWithoutReply) named[missed.block] = missed.replyBytes;
  for (auto block = lastFault.cbegin(); block != lastFault.cend(); ++block) {
    const int sent = ReplyLengthInTime(block.value());
    const bool lateInTime = block.value().kind == ReplyFaultKind::Late && !named.contains(block.key());
    if (ClassifyBlockReply(sent) == BlockReplyKind::Full || lateInTime) {
      if (named.contains(block.key())) {
        report(
            QStringLiteral("block %1 is named, though its last request got a full reply").arg(block.key()));
      }
    } else if (named.value(block.key(), -1) != sent) {
      report(QStringLiteral("block %1: the reply to its last request was %2, and the block is named %3")
                 .arg(block.key())
                 .arg(QString::fromLatin1(FaultText(block.value())))
                 .arg(named.contains(block.key()) ? QStringLiteral("with %1 bytes").arg(named[block.key()])
                                                  : QStringLiteral("not at all")));
    }
  }
  for (auto block = named.cbegin(); block != named.cend(); ++block) {
    if (!lastFault.contains(block.key()))
      report(QStringLiteral("block %1 is named but was never requested").arg(block.key()));
  }
  // No value the device does not hold, and every record of the bytes that came. A ring turn that did not
  // come leaves the order to the integrity check, which names the steps back in time.
  if (readout.files.size() == 1) {
    QList<QByteArray> expected = ExpectedFile(device, readout.result.blocksWithoutReply).split('\n');
    QList<QByteArray> written = readout.file.split('\n');
    std::sort(expected.begin(), expected.end());
    std::sort(written.begin(), written.end());
    if (written != expected)
      report(QStringLiteral("the file is not the device's records on the bytes that came"));
  }
  return broken;
}

ChaosFigures ReadOneSeed(uint32_t seed, const ChaosDevice& device, const QHostAddress& address) {
  SimulatorConfig config = device.config;
  config.chaosSeed = seed;
  const ChaosReadout readout = ReadDevice(config, address);
  ChaosFigures figures;
  figures.readouts = 1;
  if (!readout.error.isEmpty()) {
    ++figures.errors;
  } else if (!readout.result.deviceFound()) {
    ++figures.noDevice;
  } else if (readout.result.blocksWithoutReply.isEmpty()) {
    ++figures.complete;
  } else {
    ++figures.incomplete;
  }
  for (qsizetype i = 0; i < readout.requests.size(); ++i) {
    ++figures.requestsByFault[size_t(ChaosFault(seed, int(i)).kind)];
  }
  figures.violations = Violations(seed, device, readout);
  return figures;
}

}  // namespace

void ChaosFigures::Add(const ChaosFigures& other) {
  readouts += other.readouts;
  complete += other.complete;
  incomplete += other.incomplete;
  noDevice += other.noDevice;
  errors += other.errors;
  for (size_t i = 0; i < requestsByFault.size(); ++i) requestsByFault[i] += other.requestsByFault[i];
  violations += other.violations;
}

ChaosFigures RunChaosReadouts(uint32_t firstSeed, int count, int parallel) {
  const std::vector<ChaosDevice> devices = ChaosDevices();
  std::atomic<int> next{0};
  QMutex mutex;
  ChaosFigures total;
  std::vector<std::thread> workers;
  for (int w = 0; w < parallel; ++w) {
    workers.emplace_back([&, address = DeviceAddress(w)] {
      ChaosFigures own;
      for (int n = next++; n < count; n = next++) {
        const uint32_t seed = firstSeed + uint32_t(n);
        own.Add(ReadOneSeed(seed, devices[seed % devices.size()], address));
      }
      QMutexLocker lock(&mutex);
      total.Add(own);
    });
  }
  for (std::thread& worker : workers) worker.join();
  return total;
}

QString ChaosReport(const ChaosFigures& figures, double seconds) {
  static constexpr std::array<std::pair<ReplyFaultKind, const char*>, 7> FaultNames = {{
      {ReplyFaultKind::None, "unspoilt"},
      {ReplyFaultKind::Short, "short"},
      {ReplyFaultKind::Oversized, "oversized"},
      {ReplyFaultKind::Silent, "silent"},
      {ReplyFaultKind::Late, "late"},
      {ReplyFaultKind::Twice, "twice"},
      {ReplyFaultKind::OtherPort, "from another port"},
  }};
  QStringList lines;
  lines << QStringLiteral("%1 readouts in %2 s: %3 complete, %4 incomplete, %5 no device, %6 errors")
               .arg(figures.readouts)
               .arg(seconds, 0, 'f', 1)
               .arg(figures.complete)
               .arg(figures.incomplete)
               .arg(figures.noDevice)
               .arg(figures.errors);
  QStringList requests;
  for (const auto& [kind, name] : FaultNames) {
    requests << QStringLiteral("%1 %2").arg(figures.requestsByFault[size_t(kind)]).arg(QLatin1String(name));
  }
  lines << QStringLiteral("requests: %1").arg(requests.join(QStringLiteral(", ")));
  lines << QStringLiteral("%1 violations").arg(figures.violations.size());
  lines += figures.violations;
  return lines.join(QLatin1Char('\n'));
}
