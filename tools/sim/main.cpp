// vald_sim: a simulated device that answers the device protocol on UDP until SIGINT or SIGTERM.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QHostInfo>
#include <cstdio>

#include "core/BoundedFile.h"
#include "core/StopSignals.h"
#include "core/TextLines.h"
#include "core/UsageError.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "link/DeviceLink.h"
#include "tools/sim/AddressIdentity.h"
#include "tools/sim/LogGenerator.h"
#include "tools/sim/SimulatorEngine.h"

namespace {

constexpr int ExitSuccess = 0;
constexpr int ExitFailure = 1;  // cannot listen, or a file it was given cannot be read or written
constexpr int ExitUsage = 2;

struct Option {
  const char* name;
  const char* valueName;  // nullptr for a switch
  const char* help;
};

constexpr Option Options[] = {
    {"host", "ADDRESS", "Address to listen on (default 127.0.0.1)."},
    {"port", "N", "UDP port to listen on; 0 lets the system choose (default 6262)."},
    {"device", "CODE", "DeviceCode of the log header (default 2)."},
    {"chip", "CODE", "ChipCode of the log header: 1 = 32 blocks, 2 = 96 blocks (default 1)."},
    {"records", "N", "Measurement records in the generated log (default 1000)."},
    {"seed", "N", "Seed of the generated readings (default 1)."},
    {"no-wrap", nullptr, "Generate a log whose ring has not wrapped yet."},
    {"delay", "MS", "Wait this long before every reply."},
    {"silent-header", nullptr, "Do not answer the memory read of the log header."},
    {"silent-from", "N", "Do not answer log block requests from block N on."},
    {"late", "MS", "Send every reply this late (after the client has given up)."},
    {"duplicate", nullptr, "Send every reply twice."},
    {"oversized", "BYTES", "Pad or cut every reply to this many bytes."},
    {"chaos", "SEED",
     "Spoil replies with faults chosen from SEED: short, oversized, none, late, twice, from another port. "
     "The same SEED spoils the same requests the same way, so a run can be replayed."},
    {"identity", "TEXT",
     "Reply text of the identity request (default: a MAC address made from the address and port "
     "listened on, then \";SN0001;R-17;AGATE;v2.3;c1\")."},
    {"netreset", "TEXT", "Reply text of the network reset request."},
    {"image", "FILE", "Serve this device image (64 KiB memory, then the raw log blocks)."},
    {"save-image", "FILE", "Write the device image that would be served to FILE and exit."},
    {"log-requests", nullptr, "Print every request received on stderr."},
};

// A command line that cannot be used: the simulator does not start.
class UsageError : public ValdError {
  using ValdError::ValdError;
};

int IntegerOption(const QCommandLineParser& parser, const char* name, int fallback) {
  if (!parser.isSet(name)) return fallback;
  bool ok = false;
  const int value = parser.value(name).toInt(&ok);
  if (!ok) throw UsageError(QStringLiteral("--%1 needs an integer, not '%2'").arg(name, parser.value(name)));
  return value;
}

SimulatorConfig ConfigFromOptions(const QCommandLineParser& parser) {
  SimulatorConfig config;
  config.deviceCode = IntegerOption(parser, "device", config.deviceCode);
  config.chipCode = IntegerOption(parser, "chip", config.chipCode);
  config.recordCount = IntegerOption(parser, "records", config.recordCount);
  config.seed = uint32_t(IntegerOption(parser, "seed", int(config.seed)));
  config.wrapped = !parser.isSet("no-wrap");
  config.replyDelayMs = IntegerOption(parser, "delay", 0);
  config.silentHeader = parser.isSet("silent-header");
  config.silentFromBlock = IntegerOption(parser, "silent-from", -1);
  config.lateReplyMs = IntegerOption(parser, "late", 0);
  config.duplicateReplies = parser.isSet("duplicate");
  config.oversizedReplyBytes = IntegerOption(parser, "oversized", 0);
  if (parser.isSet("chaos")) config.chaosSeed = uint32_t(IntegerOption(parser, "chaos", 0));
  if (parser.isSet("identity")) config.identityReply = ToWin1250(parser.value("identity"));
  if (parser.isSet("netreset")) config.netresetReply = ToWin1250(parser.value("netreset"));
  return config;
}

QHostAddress ListenAddress(const QString& host) {
  const QHostAddress address(host);
  if (!address.isNull()) return address;
  const QHostInfo info = QHostInfo::fromName(host);
  if (info.addresses().isEmpty()) throw ValdError(QStringLiteral("Cannot resolve host '%1'").arg(host));
  return info.addresses().first();
}

int Run(QCoreApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Simulated device: answers \"EA<addr>\", \"ED<nn>\", \"netreset\" and \"E47305826\" on UDP.");
  const QCommandLineOption helpOption = parser.addHelpOption();
  const QCommandLineOption versionOption = parser.addVersionOption();
  for (const Option& option : Options) {
    parser.addOption(option.valueName ? QCommandLineOption(option.name, option.help, option.valueName)
                                      : QCommandLineOption(option.name, option.help));
  }
  if (!parser.parse(app.arguments())) throw UsageError(parser.errorText());
  if (parser.isSet(helpOption)) parser.showHelp(ExitSuccess);
  if (parser.isSet(versionOption)) parser.showVersion();
  if (!parser.positionalArguments().isEmpty())
    throw UsageError(QStringLiteral("Unexpected argument '%1'").arg(parser.positionalArguments().first()));

  SimulatorConfig config = ConfigFromOptions(parser);
  const QString host = parser.isSet("host") ? parser.value("host") : QStringLiteral("127.0.0.1");
  const int port = IntegerOption(parser, "port", DeviceLink::DefaultPort);
  if (port < 0 || port > 65535)
    throw UsageError(QStringLiteral("--port needs a port number, not %1").arg(port));
  if (parser.isSet("image")) config.image = ReadWholeFile(parser.value("image"), DeviceImage::MaxFileBytes);
  if (parser.isSet("save-image")) {
    WriteWholeFile(parser.value("save-image"), SimulatedDeviceImage(config).ToBytes());
    return ExitSuccess;
  }

  const QHostAddress address = ListenAddress(host);
  SimulatorEngine engine(config);
  if (!engine.Listen(address, uint16_t(port))) {
    throw ValdError(QStringLiteral("Cannot listen on %1: %2").arg(host, engine.ErrorText()));
  }
  if (!parser.isSet("identity"))
    engine.SetIdentityReply(AddressIdentity(address, engine.Port(), config.identityReply));
  if (parser.isSet("log-requests")) {
    // In chaos mode each request's fault follows, numbered as the engine numbers them.
    QObject::connect(&engine, &SimulatorEngine::RequestReceived,
                     [chaosSeed = config.chaosSeed, request = 0](
                         const QByteArray& datagram, const QHostAddress& sender, quint16 port) mutable {
                       const QByteArray fault =
                           chaosSeed ? " " + FaultText(ChaosFault(*chaosSeed, request++)) : QByteArray();
                       std::fprintf(stderr, "%s:%u %s%s\n", qPrintable(sender.toString()), unsigned(port),
                                    datagram.toPercentEncoding().constData(), fault.constData());
                     });
  }
  // A stop signal ends the event loop; the engine closes its socket as it goes.
  const StopSignals stopper([] {
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
  });
  std::printf("listening on %s:%u\n", qPrintable(host), unsigned(engine.Port()));
  std::fflush(stdout);
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("vald_sim");
  QCoreApplication::setApplicationVersion(VALD_VERSION);
  try {
    return Run(app);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "%s\n", qPrintable(UsageErrorLine(QStringLiteral("vald_sim"), error.Message())));
    return ExitUsage;
  } catch (const ValdError& error) {
    std::fprintf(stderr, "vald_sim: %s\n", error.what());
    return ExitFailure;
  }
}
