#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/Environment.h"
#include "core/SharedState.h"
#include "core/Win1250.h"
#include "support/ShownLog.h"
#include "views/RenderViews.h"
#include "views/WindowModel.h"

// Windows-1250 bytes of a UTF-8 text, as the views write them.
inline QByteArray W(const char* utf8) {
  return ToWin1250(QString::fromUtf8(utf8));
}

// One line of a rich text as "[RRGGBB]text" per run, in UTF-8, so that failures read plainly.
inline std::string Runs(const RichText& text, int line = 0) {
  std::string result;
  for (const TextRun& run : text.Lines().value(line)) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "[%06X]", unsigned(run.colour));
    result += colour + FromWin1250(run.text).toStdString();
  }
  return result;
}

// Every line of a rich text as Runs gives it.
inline std::vector<std::string> AllRuns(const RichText& text) {
  std::vector<std::string> lines;
  for (int i = 0; i < text.Lines().size(); ++i) lines.push_back(Runs(text, i));
  return lines;
}

// A shared state and window model to render logs into, with the system separator chosen per test.
struct RenderBench {
  SharedState state;
  WindowModel view;
  Environment env;

  explicit RenderBench(char systemSeparator = '.') { env.systemDecimalSeparator = systemSeparator; }

  void Render(int deviceCode, std::initializer_list<const char*> lines) {
    state.DeviceCode = deviceCode;
    state.LogRecords.Clear();
    for (const char* line : lines) AddShownLine(state, line);
    RenderViews(state, view, env);
  }

  const ChartSeries& Series(ChartPage page, int index) const { return view.pages[page].chart.series[index]; }
  const RichText& Strip(ChartPage page) const { return view.pages[page].strip; }
  std::vector<std::string> Summary() const { return AllRuns(view.summary); }
};
