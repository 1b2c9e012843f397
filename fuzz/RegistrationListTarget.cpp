#include <QDateTime>
#include <QTemporaryDir>
#include <mutex>
#include <stdexcept>

#include "core/ValdError.h"
#include "core/Win1250.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoopbackDevice.h"
#include "operations/ServiceTools.h"

namespace {

constexpr char HeaderLine[] = "date;mac addr;serial;reg number;device;version;config;";
constexpr int ShortestListText = 20;
constexpr char Today[] = "24.03.05";

// One program folder and one answering device for the whole fuzzing run.
struct RegistrationBench {
  RegistrationBench()
      : device([this](const QByteArray&) -> std::optional<QByteArray> {
          const std::lock_guard lock(replyMutex);
          return reply + '\0';
        }) {
    if (!folder.isValid()) throw std::runtime_error("cannot create a temporary folder");
    env.programFolder = folder.path();
    env.now = [] { return QDateTime(QDate(2024, 3, 5), QTime(9, 30)); };
  }
  void SetReply(const QByteArray& text) {
    const std::lock_guard lock(replyMutex);
    reply = text;
  }

  std::mutex replyMutex;
  QByteArray reply;  // what the device answers to every request, followed by a zero byte
  QTemporaryDir folder;
  LoopbackDevice device;
  Environment env;
};

RegistrationBench& Bench() {
  static RegistrationBench bench;
  return bench;
}

bool EndsWithVerdict(const QByteArray& memo, const QString& verdict) {
  return memo.endsWith(ToWin1250(verdict));
}

}  // namespace

// "mac sn reg..." with the input's sales.csv and identity reply: the list changes only by one entry
// line after its old lines (and the header a short list gets), and registering the same device again
// finds it listed.
void FuzzRegistrationList(std::span<const uint8_t> data) {
  FuzzInput input(data);
  const QByteArray reply = input.TakeText(input.TakeByte());
  const QByteArray list = input.RestAsText();

  RegistrationBench& bench = Bench();
  const QString path = bench.env.ProgramFile(QStringLiteral("sales.csv"));
  WriteWholeFile(path, list);
  bench.SetReply(reply);

  SharedState state;
  WindowModel view;
  DeviceLink link;
  link.host = QStringLiteral("127.0.0.1");
  link.port = bench.device.Port();
  view.addressEdits[0] = "127.0.0.1";

  try {
    RegisterDevice(state, view, link, bench.env);
  } catch (const ValdError&) {
    FUZZ_REQUIRE(ReadWholeFile(path) == list);
    return;
  }
  if (!EndsWithVerdict(view.memo1, QStringLiteral("  -hozzáadva"))) {
    FUZZ_REQUIRE(ReadWholeFile(path) == list);
    return;
  }

  TextLines expected;
  expected.SetText(list);
  if (expected.Text().size() < ShortestListText) expected.Add(HeaderLine);
  // The device's text ends at its first zero byte.
  const QByteArray entry = QByteArray(Today) + ';' + QByteArray(reply.constData());
  expected.Add(entry);
  const QByteArray written = ReadWholeFile(path);
  FUZZ_REQUIRE(written == expected.Text());

  RegisterDevice(state, view, link, bench.env);
  FUZZ_REQUIRE(EndsWithVerdict(view.memo1, QStringLiteral("  -már van ilyen mac address")));
  FUZZ_REQUIRE(ReadWholeFile(path) == written);
}
