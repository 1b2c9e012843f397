#include "archive/ImageChain.h"

#include <QHash>

#include "archive/ImagePatch.h"

QString ChainBreakText(const ChainBreak& broken) {
  switch (broken.kind) {
    case ChainBreak::Kind::KeepsNoImage:
      return QStringLiteral("readout %1 keeps no image").arg(broken.readout);
    case ChainBreak::Kind::BaseMissing:
      return QStringLiteral("the image of readout %1 goes back to readout %2, which is missing")
          .arg(broken.readout)
          .arg(broken.at);
    case ChainBreak::Kind::BaseKeepsNoImage:
      return QStringLiteral("the image of readout %1 goes back to readout %2, which keeps no image")
          .arg(broken.readout)
          .arg(broken.at);
    case ChainBreak::Kind::GoesBackInACircle:
      return QStringLiteral("the image of readout %1 goes back in a circle").arg(broken.readout);
    case ChainBreak::Kind::PatchDoesNotFit:
      return QStringLiteral("the image of readout %1 cannot be rebuilt: the patch of readout %2 does not fit")
          .arg(broken.readout)
          .arg(broken.at);
  }
  return {};
}

namespace {

RebuiltImage Broken(ChainBreak::Kind kind, qint64 readout, qint64 at) {
  return {{}, 0, ChainBreak{kind, readout, at}};
}

// The row's image from its base's, `base` null when the base is not among the rows before it.
RebuiltImage Rebuild(const KeptImage& row, const RebuiltImage* base) {
  if (!row.base) {
    if (row.stored.isEmpty()) return Broken(ChainBreak::Kind::KeepsNoImage, row.readout, row.readout);
    return {row.stored, 0, std::nullopt};
  }
  if (*row.base >= row.readout) return Broken(ChainBreak::Kind::GoesBackInACircle, row.readout, row.readout);
  if (!base) return Broken(ChainBreak::Kind::BaseMissing, row.readout, *row.base);
  if (base->broken) {
    const ChainBreak& before = *base->broken;
    return Broken(before.IsBroken() ? before.kind : ChainBreak::Kind::BaseKeepsNoImage, row.readout,
                  before.at);
  }
  std::optional<QByteArray> patched = PatchedImage(base->image, row.stored);
  if (!patched) return Broken(ChainBreak::Kind::PatchDoesNotFit, row.readout, row.readout);
  return {std::move(*patched), base->patches + 1, std::nullopt};
}

}  // namespace

void RebuildImages(std::span<const KeptImage> rows,
                   const std::function<void(const KeptImage& row, RebuiltImage& rebuilt)>& take) {
  // The last row that goes back to each readout: its image is let go after that one.
  QHash<qint64, size_t> lastUse;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].base) lastUse.insert(*rows[i].base, i);
  }
  QHash<qint64, RebuiltImage> held;
  for (size_t i = 0; i < rows.size(); ++i) {
    const KeptImage& row = rows[i];
    const auto base = row.base ? held.constFind(*row.base) : held.cend();
    RebuiltImage rebuilt = Rebuild(row, base == held.cend() ? nullptr : &*base);
    take(row, rebuilt);
    if (row.base && lastUse.value(*row.base) == i) held.remove(*row.base);
    if (lastUse.contains(row.readout) && lastUse.value(row.readout) > i)
      held.insert(row.readout, std::move(rebuilt));
  }
}
