#include <QDateTime>
#include <cstring>

#include "core/ValdError.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "link/RegistrationList.h"

namespace {

constexpr char HeaderLine[] = "date;mac addr;serial;reg number;device;version;config;";
constexpr int ShortestListText = 20;
constexpr char Today[] = "24.03.05";
const QString Host = QStringLiteral("127.0.0.1");

const Environment& RegistrationDay() {
  static const Environment env = [] {
    Environment e;
    e.now = [] { return QDateTime(QDate(2024, 3, 5), QTime(9, 30)); };
    return e;
  }();
  return env;
}

}  // namespace

// "mac sn reg..." with the input's sales.csv and identity reply: the list gains only one entry line
// (the reply's cells, formulas written as text) after its old lines (and the header a short list gets), and
// registering the same device again, from the list as written, finds it listed.
void FuzzRegistrationList(std::span<const uint8_t> data) {
  FuzzInput input(data);
  const std::span<const uint8_t> replyBytes = input.Take(input.TakeByte());
  // The exchange gives the reply's text up to its first zero byte.
  const char* replyText = reinterpret_cast<const char*>(replyBytes.data());
  const QByteArray reply(replyText, qsizetype(strnlen(replyText, replyBytes.size())));
  const QByteArray listText = input.RestAsText();

  TextLines list;
  list.SetText(listText);
  QByteArray entry;
  try {
    if (AddToRegistrationList(list, reply, RegistrationDay(), Host, entry) != RegistrationVerdict::Added)
      return;
  } catch (const ValdError&) {
    return;
  }

  TextLines expected;
  expected.SetText(listText);
  if (expected.Text().size() < ShortestListText) expected.Add(HeaderLine);
  // Every cell as it came, a quote before one that a spreadsheet would take for a formula.
  QList<QByteArray> cells = reply.split(';');
  for (QByteArray& cell : cells) {
    if (cell.startsWith('=') || cell.startsWith('+') || cell.startsWith('-') || cell.startsWith('@'))
      cell.prepend('\'');
  }
  expected.Add(QByteArray(Today) + ';' + cells.join(';'));
  FUZZ_REQUIRE(list == expected && entry == expected.Lines().last());

  // sales.csv as written, read by the next registration.
  TextLines written;
  written.SetText(list.Text());
  FUZZ_REQUIRE(written == list);
  FUZZ_REQUIRE(AddToRegistrationList(written, reply, RegistrationDay(), Host, entry) ==
               RegistrationVerdict::AlreadyListed);
}
