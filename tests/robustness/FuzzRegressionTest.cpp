#include <gtest/gtest.h>

#include <QFile>
#include <limits>

#include "core/ValdError.h"
#include "fuzz/FuzzTargets.h"
#include "operations/SettingsApplication.h"
#include "settings/SettingsFile.h"

// Inputs the fuzzers found faults with, kept in the corpus as regression-<name>: each is replayed
// through its harness (a sanitizer build stops at the fault) and its fault is pinned by a test that
// fails under any build.

namespace {

void Replay(const char* harness, const char* name, void (*target)(std::span<const uint8_t>)) {
  QFile file(QStringLiteral(VALD_FUZZ_CORPUS_DIR "/%1/regression-%2").arg(harness, name));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
  const QByteArray input = file.readAll();
  target(std::span(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size())));
}

// cfg.ini geometry near the 32-bit limits: the window rectangle keeps its right and bottom edges as
// left + width - 1 and top + height - 1, which overflowed while the file's values were applied and
// again when the close step wrote them back. Whatever the start makes of such values, the window it
// saves must have edges that exist.
class WindowGeometryLimits : public testing::TestWithParam<const char*> {};

TEST_P(WindowGeometryLimits, SavedWindowHasRepresentableEdges) {
  SharedState state;
  WindowModel view;
  DeviceLink link;
  const Environment env;
  state.SettingsLines.SetText(GetParam());
  ApplySettings(state, view, link, env);
  StoreGeometrySettings(state, view);

  const auto saved = [&](const QByteArray& key) {
    return qint64(*ReadIntegerSetting(state.SettingsLines, key));
  };
  constexpr qint64 Smallest = std::numeric_limits<int>::min();
  constexpr qint64 Largest = std::numeric_limits<int>::max();
  const qint64 right = saved("Left") + saved("Width") - 1;
  const qint64 bottom = saved("Top") + saved("Height") - 1;
  EXPECT_TRUE(right >= Smallest && right <= Largest) << "right edge " << right;
  EXPECT_TRUE(bottom >= Smallest && bottom <= Largest) << "bottom edge " << bottom;
}

INSTANTIATE_TEST_SUITE_P(Settings, WindowGeometryLimits,
                         testing::Values("Left=2147483647", "Top=-2147483648\r\nHeight=$80000000",
                                         "Left=-400\r\nWidth=$80000000", "Left=-2147483648\r\nWidth=-2"));

TEST(FuzzRegression, SettingsWindowGeometryLimits) {
  Replay("settings", "window-geometry-limits", FuzzSettings);
}

}  // namespace
