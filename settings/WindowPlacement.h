#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The seven "Pozíció" menu items.
enum class Placement {
  Default,
  LeftHalf,
  RightHalf,
  TopLeftQuarter,
  TopRightQuarter,
  BottomLeftQuarter,
  BottomRightQuarter
};

// The main window's outer geometry for a placement on a screen of the given size. Every value is
// taken to the nearest integer, a half to the even neighbour; "Default" is three quarters of the screen,
// centred. The bottom 2.6 % of the screen height stays free for the task bar.
QRect PlacementGeometry(Placement placement, QSize screen);

// The main window's outer geometry as the creation step leaves it, on screens whose available areas
// (without task bars) are given, the primary first. A geometry without a stored position is kept where
// it lies wholly within a screen's area; otherwise it is shrunk to the primary area where larger and
// centred on it. A stored geometry stays as stored unless it lies off every screen (less than a corner of
// VisibleCornerPx square shows on each), when it is brought onto the primary area the same way.
inline constexpr int VisibleCornerPx = 50;
QRect StartupGeometry(const QRect& geometry, bool positionStored, const QList<QRect>& availableScreens);
