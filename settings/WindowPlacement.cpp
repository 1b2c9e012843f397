#include "settings/WindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double UsableHeightFactor = 0.974;

int RoundHalfEven(double value) {
  return int(std::nearbyint(value));
}

bool WithinSomeScreen(const QRect& geometry, const QList<QRect>& screens) {
  return std::any_of(screens.begin(), screens.end(),
                     [&](const QRect& screen) { return screen.contains(geometry, false); });
}

// A window smaller than the corner that must show shows when it lies on a screen whole: the start after
// one that placed it there keeps it there.
bool ShowsOnSomeScreen(const QRect& geometry, const QList<QRect>& screens) {
  const int width = std::min(VisibleCornerPx, geometry.width());
  const int height = std::min(VisibleCornerPx, geometry.height());
  for (const QRect& screen : screens) {
    const QRect shown = geometry.intersected(screen);
    if (shown.width() >= width && shown.height() >= height) return true;
  }
  return false;
}

QRect CentredWithin(const QRect& area, QSize size) {
  size = size.boundedTo(area.size());
  return {area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2,
          size.width(), size.height()};
}

}  // namespace

QRect PlacementGeometry(Placement placement, QSize screen) {
  const double w = screen.width();
  const double h = screen.height();
  if (placement == Placement::Default) {
    const int width = RoundHalfEven(w * 0.75);
    const int height = RoundHalfEven(h * 0.75);
    return QRect((screen.width() - width) / 2, (screen.height() - height) / 2, width, height);
  }
  const bool half = placement == Placement::LeftHalf || placement == Placement::RightHalf;
  const bool right = placement == Placement::RightHalf || placement == Placement::TopRightQuarter ||
                     placement == Placement::BottomRightQuarter;
  const bool bottom = placement == Placement::BottomLeftQuarter || placement == Placement::BottomRightQuarter;
  const int width = RoundHalfEven(w * 0.5);
  const int height = RoundHalfEven(half ? h * UsableHeightFactor : h * UsableHeightFactor * 0.5);
  const int left = right ? RoundHalfEven(w / 2) : 0;
  const int top = bottom ? RoundHalfEven(h * UsableHeightFactor * 0.5) : 0;
  return QRect(left, top, width, height);
}

QRect StartupGeometry(const QRect& geometry, bool positionStored, const QList<QRect>& availableScreens) {
  if (availableScreens.isEmpty()) return geometry;
  const QRect& primary = availableScreens.first();
  const bool kept = positionStored ? ShowsOnSomeScreen(geometry, availableScreens)
                                   : WithinSomeScreen(geometry, availableScreens);
  return kept ? geometry : CentredWithin(primary, geometry.size());
}
