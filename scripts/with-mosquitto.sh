#!/usr/bin/env bash
# Runs CMD... with a private MQTT broker (Debian's mosquitto, never the system service): its
# configuration, password file, certificate and log in a temporary folder, three listeners on free
# ports of 127.0.0.1, stopped and its folder removed afterwards. The tests find it through:
#   VALD_TEST_MQTT_URL       mqtt://127.0.0.1:PORT        anonymous clients
#   VALD_TEST_MQTT_AUTH_URL  mqtt://vald@127.0.0.1:PORT   user "vald" with VALD_TEST_MQTT_PASSWORD only
#   VALD_TEST_MQTT_READER_URL mqtt://reader@...           the same listener, a user that may only read
#   VALD_TEST_MQTT_TLS_URL   mqtts://localhost:PORT       TLS with a certificate of VALD_TEST_MQTT_CA
# As root the broker runs as the "mosquitto" user, as the Debian package sets it up.
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: with-mosquitto.sh CMD..." >&2
  exit 2
fi
broker=/usr/sbin/mosquitto
if [ ! -x "$broker" ] || ! command -v mosquitto_passwd >/dev/null; then
  echo "with-mosquitto.sh: mosquitto is not installed (Debian package mosquitto)" >&2
  exit 1
fi

folder="$(mktemp -d "${TMPDIR:-/tmp}/vald-mosquitto.XXXXXX")"
pid=""
stop() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$folder"
}
trap stop EXIT

password="vald-test-$RANDOM$RANDOM"
mosquitto_passwd -b -c "$folder/passwords" vald "$password" >/dev/null
mosquitto_passwd -b "$folder/passwords" reader "$password" >/dev/null
printf 'user vald\ntopic readwrite #\nuser reader\ntopic read #\n' >"$folder/acl"
# A certificate for localhost and 127.0.0.1 that the TLS tests trust through SSL_CERT_FILE.
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj /CN=localhost \
  -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" -keyout "$folder/key.pem" -out "$folder/ca.pem" \
  2>"$folder/openssl.log" || { cat "$folder/openssl.log" >&2; exit 1; }
chmod 600 "$folder/passwords" "$folder/acl" "$folder/key.pem"
if [ "$(id -u)" -eq 0 ]; then chown -R mosquitto: "$folder"; fi

source "$(dirname "$0")/await-server.sh"

# Random private ports; others when one is taken.
started=0
for attempt in 1 2 3 4 5; do
  plain=$((20000 + RANDOM % 40000))
  auth=$((plain + 1))
  tls=$((plain + 2))
  cat >"$folder/mosquitto.conf" <<CONF
per_listener_settings true
persistence false
log_dest stderr
log_type error
log_type warning
log_type notice
log_type information
listener $plain 127.0.0.1
allow_anonymous true
listener $auth 127.0.0.1
allow_anonymous false
password_file $folder/passwords
acl_file $folder/acl
listener $tls 127.0.0.1
allow_anonymous true
certfile $folder/ca.pem
keyfile $folder/key.pem
CONF
  "$broker" -c "$folder/mosquitto.conf" >"$folder/broker.log" 2>&1 &
  pid=$!
  # The broker says it runs once every listener is open; it ends at once when a port is taken.
  if await_server "$pid" grep -q " running" "$folder/broker.log"; then started=1; break; fi
  pid=""
done
if [ "$started" -ne 1 ]; then
  cat "$folder/broker.log" >&2
  exit 1
fi

export VALD_TEST_MQTT_URL="mqtt://127.0.0.1:$plain"
export VALD_TEST_MQTT_AUTH_URL="mqtt://vald@127.0.0.1:$auth"
export VALD_TEST_MQTT_READER_URL="mqtt://reader@127.0.0.1:$auth"
export VALD_TEST_MQTT_PASSWORD="$password"
export VALD_TEST_MQTT_TLS_URL="mqtts://localhost:$tls"
export VALD_TEST_MQTT_CA="$folder/ca.pem"
"$@"
