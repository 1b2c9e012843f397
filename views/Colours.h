#pragma once

#include <array>
#include <cstdint>

// Colours of text runs and chart series, as 0xRRGGBB.
using Rgb = uint32_t;

namespace Colour {
constexpr Rgb Red = 0xFF0000;
constexpr Rgb Blue = 0x0000FF;
constexpr Rgb Green = 0x008000;
constexpr Rgb Black = 0x000000;
constexpr Rgb Olive = 0x808000;
constexpr Rgb Purple = 0x800080;
constexpr Rgb Gray = 0x808080;
constexpr Rgb Maroon = 0x800000;
// The design green of the chart series (red 41, green 199, blue 37).
constexpr Rgb SeriesGreen = 0x29C725;
}  // namespace Colour

// The colour of the k-th channel of a group (index k - 1); a second group starts again at red.
constexpr std::array<Rgb, 6> ChannelPalette = {Colour::Red,   Colour::Blue,  Colour::Green,
                                               Colour::Black, Colour::Olive, Colour::Purple};
