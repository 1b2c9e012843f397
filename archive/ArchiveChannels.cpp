#include "archive/ArchiveChannels.h"

#include "archive/ArchivedLine.h"

std::vector<DeviceChannel> ChannelsOf(const DeviceType& type) {
  std::vector<DeviceChannel> channels = DeviceChannels(type);
  if (channels.size() > size_t(ArchivedLine::ChannelCount)) channels.resize(ArchivedLine::ChannelCount);
  return channels;
}
