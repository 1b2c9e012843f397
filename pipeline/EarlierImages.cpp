#include "pipeline/EarlierImages.h"

EarlierImage ChooseEarlierImage(const std::optional<LastReadout>& last, const NewOnlyPolicy& policy,
                                const QDateTime& now) {
  if (!last) return {{}, QStringLiteral("the archive holds no earlier readout of the device")};
  if (policy.forceFull) return {{}, QStringLiteral("--full")};
  if (!last->imageProblem.isEmpty())
    return {{}, QStringLiteral("the archive cannot rebuild the earlier image: %1").arg(last->imageProblem)};
  if (!last->missedBlocks)
    return {{}, QStringLiteral("the earlier readout does not say whether it was complete")};
  if (*last->missedBlocks > 0) return {{}, QStringLiteral("the earlier readout was incomplete")};
  if (!last->lastFullReadout.isValid() ||
      last->lastFullReadout.secsTo(now) >= qint64(policy.fullEveryHours) * 3600) {
    return {{}, QStringLiteral("the last full readout is %1 hours old or older").arg(policy.fullEveryHours)};
  }
  return {last->image, {}};
}
