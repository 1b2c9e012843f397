#include "decode/DeviceChannels.h"

#include <map>
#include <string_view>

QString DeviceChannel::Key() const {
  return QStringLiteral("%1_%2").arg(QLatin1String(quantity->key)).arg(number);
}

QString DeviceChannel::Label() const {
  QString label = QStringLiteral("%1 %2").arg(QuantityCaption(*quantity)).arg(number);
  if (*quantity->unit) label += QStringLiteral(" (%1)").arg(QString::fromUtf8(quantity->unit));
  return label;
}

std::vector<DeviceChannel> DeviceChannels(const DeviceType& type) {
  std::vector<DeviceChannel> channels;
  std::map<std::string_view, int> counts;
  for (size_t i = 0; i < type.columns.size(); ++i) {
    const Quantity& quantity = QuantityOf(type.columns[i]);
    channels.push_back({int(i) + 1, ++counts[quantity.key], false, &quantity});
  }
  for (DeviceChannel& channel : channels) channel.alone = counts[channel.quantity->key] == 1;
  return channels;
}
