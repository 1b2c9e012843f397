#pragma once

#include <vector>

#include "decode/DeviceChannels.h"

// The channels of a catalogue row that the archive keeps, in column order: at most its 16.
std::vector<DeviceChannel> ChannelsOf(const DeviceType& type);
