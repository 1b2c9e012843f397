#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <span>

// A readout's raw image as the archive keeps it: whole (no base), or as the patch (ImagePatch) onto the
// image of its base, an earlier readout of the device, whose image may be a patch again. An empty image
// without a base is a readout that keeps no image: its chain was broken and its patch alone was no whole
// image, so a repair let it go; its records stay archived.
struct KeptImage {
  qint64 readout = 0;
  std::optional<qint64> base;
  QByteArray stored;
};

// Why a readout's image cannot be rebuilt.
struct ChainBreak {
  enum class Kind {
    KeepsNoImage,       // the readout itself keeps none
    BaseMissing,        // its chain goes back to a readout that is not there
    BaseKeepsNoImage,   // its chain goes back to a readout that keeps no image
    GoesBackInACircle,  // a base that is not an earlier readout
    PatchDoesNotFit,    // a patch of its chain does not fit the image before it
  };
  Kind kind = Kind::BaseMissing;
  qint64 readout = 0;  // the readout whose image cannot be rebuilt
  qint64 at = 0;       // where its chain breaks: the readout missing, keeping no image or not fitting

  // A broken chain, which a repair mends; a readout that keeps no image is the outcome of one.
  bool IsBroken() const { return kind != Kind::KeepsNoImage; }
};

// "the image of readout 5 goes back to readout 3, which is missing"
QString ChainBreakText(const ChainBreak& broken);

// A readout's image rebuilt from the whole image its chain goes back to.
struct RebuiltImage {
  QByteArray image;  // empty when it cannot be rebuilt
  int patches = 0;   // patches applied to the whole image
  std::optional<ChainBreak> broken;
};

// Rebuilds the images of `rows`, given in the order of their readouts, each from its base among the rows
// before it, and hands each to `take` in that order. `take` may change what a readout's image is (a
// repair does): the readouts after it are rebuilt from what it leaves. Only the images a later row still
// goes back to are held.
void RebuildImages(std::span<const KeptImage> rows,
                   const std::function<void(const KeptImage& row, RebuiltImage& rebuilt)>& take);
