#pragma once

#include <array>

// The smallest and largest raw value one energy meter channel showed during one rendering.
struct ChannelExtreme {
  double largest = 0;
  double smallest = 0;
  bool seen = false;  // set at the channel's first value; a channel without values keeps 0 and 0
};

// The energy meter's nine channels in column order: Series_T1 .. T3, Series_H1 .. H3, Series_C1 .. C3.
using ChannelExtremes = std::array<ChannelExtreme, 9>;
