#include "mqtt/BrokerLocation.h"

#include <QUrl>

#include "core/ValdError.h"

namespace {

ValdError BadAddress(const QString& text, const QString& reason) {
  return ValdError(QStringLiteral("Bad MQTT broker \"%1\": %2.").arg(text, reason));
}

}  // namespace

QString BrokerLocation::Describe() const {
  return (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
         QLatin1Char(':') + QString::number(port);
}

BrokerLocation ParseBrokerLocation(const QString& text) {
  const QUrl url(text, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) ||
      url.host().isEmpty()) {
    throw BadAddress(text, QStringLiteral("expected mqtt://user@host:port/prefix or mqtts://..."));
  }
  if (!url.password().isEmpty()) {
    throw BadAddress(url.toString(QUrl::RemovePassword),
                     QStringLiteral("give the password in %1, not in the address")
                         .arg(QLatin1String(MqttPasswordVariable)));
  }
  if (url.port() == 0) throw BadAddress(text, QStringLiteral("port 0 is no port"));
  if (url.hasQuery() || url.hasFragment()) {
    throw BadAddress(text, QStringLiteral("the address takes no query and no fragment"));
  }
  BrokerLocation location;
  location.tls = scheme == QLatin1String("mqtts");
  location.user = url.userName();
  location.host = url.host();
  location.port =
      uint16_t(url.port(location.tls ? BrokerLocation::DefaultTlsPort : BrokerLocation::DefaultPort));
  QString prefix = url.path(QUrl::FullyDecoded);
  if (prefix.startsWith(QLatin1Char('/'))) prefix.remove(0, 1);
  if (prefix.endsWith(QLatin1Char('/'))) prefix.chop(1);
  if (prefix.isEmpty()) prefix = QLatin1String(DefaultTopicPrefix);
  if (prefix.contains(QLatin1Char('+')) || prefix.contains(QLatin1Char('#')) ||
      prefix.contains(QLatin1Char('\0')) || prefix.split(QLatin1Char('/')).contains(QString())) {
    throw BadAddress(
        text, QStringLiteral("the topic prefix \"%1\" holds an empty level or a wildcard (+ #)").arg(prefix));
  }
  location.prefix = prefix;
  return location;
}
