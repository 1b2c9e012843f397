#include "settings/WindowPlacement.h"

#include <cmath>

namespace {

constexpr double UsableHeightFactor = 0.974;

int RoundHalfEven(double value) {
  return int(std::nearbyint(value));
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
