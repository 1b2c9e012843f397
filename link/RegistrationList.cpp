#include "link/RegistrationList.h"

#include <algorithm>

#include "core/TextLines.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "link/Exchanges.h"

namespace {

const QString RegistrationFileName = QStringLiteral("sales.csv");
constexpr char HeaderLine[] = "date;mac addr;serial;reg number;device;version;config;";
constexpr int ShortestListText = 20;  // a list with less text than this gets the header line
constexpr int KeyStart = 9;           // 0-based: after "yy.mm.dd;"
constexpr int KeyLength = 17;         // a MAC address as text

QByteArray KeyOf(const QByteArray& line) {
  return line.mid(KeyStart, KeyLength);
}

bool HoldsControlCharacters(const QByteArray& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return uint8_t(c) < 0x20 || uint8_t(c) == 0x7F; });
}

}  // namespace

void RegisterDevice(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env) {
  static const QByteArray NoData = "  -nincs adat";
  static const QByteArray AlreadyListed = ToWin1250(QStringLiteral("  -már van ilyen mac address"));
  static const QByteArray Added = ToWin1250(QStringLiteral("  -hozzáadva"));

  const QString path = env.ProgramFile(RegistrationFileName);
  TextLines list;
  list.LoadFromFile(path);
  link.host = FromWin1250(view.addressEdits[0]);
  const QByteArray reply = ExchangeForReplyText(state, link, IdentityRequest, DeviceLink::ReplyTextTimeoutMs);
  view.memo1 = reply;
  if (HoldsControlCharacters(reply)) {
    throw ValdError(QStringLiteral("The identity reply of %1 holds control characters; it is not registered.")
                        .arg(link.host));
  }
  if (list.Text().size() < ShortestListText) list.Add(HeaderLine);
  if (reply.isEmpty()) {
    view.memo1 = reply + NoData;
    return;
  }

  const QByteArray entry = env.now().toString(QStringLiteral("yy.MM.dd")).toLatin1() + ';' + reply;
  const QByteArray key = KeyOf(entry);
  const bool listed = std::any_of(list.Lines().begin(), list.Lines().end(), [&](const QByteArray& line) {
    return !line.isEmpty() && KeyOf(line) == key;
  });
  if (listed) {
    view.memo1 = entry + AlreadyListed;
    return;
  }
  list.Add(entry);
  list.SaveToFile(path);
  view.memo1 = entry + Added;
}
