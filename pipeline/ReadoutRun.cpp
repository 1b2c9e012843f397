#include "pipeline/ReadoutRun.h"

#include "archive/ArchiveLocation.h"
#include "archive/SiteTime.h"
#include "core/ValdError.h"

ReadoutRun OpenReadoutRun(const Environment& env, const QByteArray& decimalSeparatorText, LimitRules limits,
                          const MessagePublisher* publisher) {
  ReadoutRun run;
  run.env = env;
  run.decimalSeparatorText = decimalSeparatorText;
  run.limits = std::move(limits);
  run.publisher = publisher;
  try {
    run.zone = SiteTimeZone(env.timeZone);
  } catch (const ValdError&) {
    run.zone = QTimeZone::systemTimeZone();
  }
  try {
    const ArchiveLocation location = ParseArchiveLocation(env.archive, env.programFolder);
    if (!location.IsOff())
      run.archive = std::make_unique<ArchiveWriter>(location, SiteTimeZone(env.timeZone));
  } catch (const ValdError& error) {
    run.archiveProblem = error.Message();
  }
  return run;
}

IdentityAsks IdentityAsksFor(const ReadoutRun& run) {
  ArchiveWriter* archive = run.archive.get();
  if (archive || run.publisher) {
    return [archive](const QString& host, int deviceCode) {
      if (!archive) return 3;
      try {
        bool known = false;
        archive->Run([&](ArchiveStore& store) { known = store.KnowsDeviceAt(host, deviceCode); });
        return known ? 1 : 3;
      } catch (const ValdError&) {
        // An archive that cannot be read knows nothing here; the merge reports what is wrong with it.
        return 3;
      }
    };
  }
  if (run.limits.NameMacs()) return [](const QString&, int) { return 1; };
  return {};
}

EarlierImageOf EarlierImagesFor(const ReadoutRun& run) {
  if (!run.newOnly.enabled || !run.archive) return {};
  return [&run](const ReadoutResult& found) {
    std::optional<LastReadout> last;
    try {
      run.archive->Run([&](ArchiveStore& store) {
        DeviceIdentity device = IdentifyDevice(found);
        if (device.mac.isEmpty()) {
          if (const std::optional<QString> known = store.MacLastSeenAt(found.host, found.DeviceCode()))
            device = KnownByMac(device, *known);
        }
        last = store.LastReadoutOf(device.key);
      });
    } catch (const ValdError& error) {
      return EarlierImage{{}, error.Message()};
    }
    return ChooseEarlierImage(last, run.newOnly, run.env.now());
  };
}
