#include "link/RegistrationList.h"

#include <algorithm>

#include "core/EditedTextFile.h"
#include "core/TextLines.h"
#include "core/ValdError.h"
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

// A spreadsheet opening sales.csv takes a cell that starts with one of these as a formula: a device
// could make its identity run as one. Such a cell gets a quote before it, which shows it as text.
QByteArray AsTextCells(const QByteArray& reply) {
  QList<QByteArray> cells = reply.split(';');
  for (QByteArray& cell : cells) {
    if (!cell.isEmpty() && QByteArrayView("=+-@").contains(cell[0])) cell.prepend('\'');
  }
  return cells.join(';');
}

}  // namespace

void RegisterIdentity(DeviceLink& link, const Environment& env, const QString& host,
                      RegistrationResult& result) {
  const QString path = env.ProgramFile(RegistrationFileName);
  TextLines list;
  list.LoadFromFile(path, MaxEditedFileBytes);
  link.host = host;
  const QByteArray reply = ExchangeForReplyText(link, IdentityRequest, DeviceLink::ReplyTextTimeoutMs);
  result.reply = reply;
  const RegistrationVerdict verdict = AddToRegistrationList(list, reply, env, link.host, result.entry);
  if (verdict == RegistrationVerdict::Added) list.SaveToFile(path);
  result.verdict = verdict;
}

RegistrationVerdict AddToRegistrationList(TextLines& list, const QByteArray& reply, const Environment& env,
                                          const QString& host, QByteArray& entry) {
  if (HoldsControlCharacters(reply)) {
    throw ValdError(
        QStringLiteral("The identity reply of %1 holds control characters; it is not registered.").arg(host));
  }
  if (list.Text().size() < ShortestListText) list.Add(HeaderLine);
  if (reply.isEmpty()) return RegistrationVerdict::NoData;

  entry = env.now().toString(QStringLiteral("yy.MM.dd")).toLatin1() + ';' + AsTextCells(reply);
  const QByteArray key = KeyOf(entry);
  const bool listed = std::any_of(list.Lines().begin(), list.Lines().end(), [&](const QByteArray& line) {
    return !line.isEmpty() && KeyOf(line) == key;
  });
  if (listed) return RegistrationVerdict::AlreadyListed;
  list.Add(entry);
  return RegistrationVerdict::Added;
}
