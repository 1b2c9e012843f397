#include "archive/ArchiveChannels.h"

#include <map>

#include "archive/ArchivedLine.h"

QString ArchiveChannel::Name() const {
  return QStringLiteral("%1_%2").arg(QLatin1String(quantity->key)).arg(number);
}

QString ArchiveChannel::Label(bool hungarian) const {
  QString label = QStringLiteral("%1 %2")
                      .arg(QString::fromUtf8(hungarian ? quantity->labelHu : quantity->labelEn))
                      .arg(number);
  if (*quantity->unit) label += QStringLiteral(" (%1)").arg(QString::fromUtf8(quantity->unit));
  return label;
}

std::vector<ArchiveChannel> ChannelsOf(const DeviceType& type) {
  std::vector<ArchiveChannel> channels;
  std::map<QByteArray, int> counts;
  for (size_t i = 0; i < type.columns.size() && i < size_t(ArchivedLine::ChannelCount); ++i) {
    const Quantity& quantity = QuantityOf(type.columns[i]);
    channels.push_back({int(i) + 1, ++counts[QByteArray(quantity.key)], &quantity});
  }
  return channels;
}
