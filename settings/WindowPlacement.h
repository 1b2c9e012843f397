#pragma once

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
