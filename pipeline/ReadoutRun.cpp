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
      if (!archive) return QtFuture::makeReadyFuture(3);
      return archive->AskLater<int>(
          [host, deviceCode](ArchiveStore& store) { return store.KnowsDeviceAt(host, deviceCode) ? 1 : 3; },
          // An archive that cannot be read knows nothing here; the merge reports what is wrong with it.
          [](const QString&) { return 3; });
    };
  }
  if (run.limits.NameMacs()) return [](const QString&, int) { return QtFuture::makeReadyFuture(1); };
  return {};
}

EarlierImageOf EarlierImagesFor(const ReadoutRun& run) {
  if (!run.newOnly.enabled || !run.archive) return {};
  return [&run](const ReadoutResult& found) {
    const DeviceIdentity identified = IdentifyDevice(found);
    const QString host = found.host;
    const int deviceCode = found.DeviceCode();
    const QDateTime now = run.env.now();
    return run.archive->AskLater<EarlierImage>(
        [&run, identified, host, deviceCode, now](ArchiveStore& store) {
          DeviceIdentity device = identified;
          if (device.mac.isEmpty()) {
            if (const std::optional<QString> known = store.MacLastSeenAt(host, deviceCode))
              device = KnownByMac(device, *known);
          }
          return ChooseEarlierImage(store.LastReadoutOf(device.key), run.newOnly, now);
        },
        [](const QString& error) {
          return EarlierImage{{}, error};
        });
  };
}
