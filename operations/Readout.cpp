#include "operations/Readout.h"

#include <future>

#include "core/ValdError.h"
#include "files/MeasurementLine.h"
#include "operations/Presenter.h"
#include "views/RenderViews.h"

void ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                   const QString& host, ReadoutResult& result, ReadoutOutcome& kept,
                   const std::function<void(int block, int blockCount)>& progress) {
  const ReadoutRun run = OpenReadoutRun(env, state.DecimalSeparatorText);
  try {
    ReadLog(state, link, IdentityAsksFor(run), host, result, progress);
  } catch (...) {
    PresentReadout(result, state, view, env.systemDecimalSeparator);
    throw;
  }
  ShowReadout(state, view, run, result, kept);
}

ReadoutReport ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress) {
  ReadoutReport report;
  ReadDeviceLog(state, view, link, env, host, report, report, progress);
  return report;
}

void ShowReadout(SharedState& state, WindowModel& view, const ReadoutRun& run, const ReadoutResult& result,
                 ReadoutOutcome& kept) {
  // The log is kept on a thread of its own while the window's texts and views are made; whatever becomes
  // of the views, the log is kept before this returns.
  std::future<ReadoutOutcome> keeping;
  if (result.deviceFound()) {
    keeping = std::async(std::launch::async, [&run, &result] {
      return KeepReadout(result, run, {run.env.programFolder, result.host});
    });
  }
  try {
    if (result.logRead) {
      state.LogRecords = result.log;
      state.DecodedLines =
          FormatDecodedLines(result.memoryOrder, result.log.values,
                             SeparatorsOf(state.DecimalSeparatorText, run.env.systemDecimalSeparator));
    }
    PresentReadout(result, state, view, run.env.systemDecimalSeparator);
    if (keeping.valid()) RenderViews(state, view, run.env);
  } catch (...) {
    if (keeping.valid()) kept = keeping.get();
    throw;
  }
  if (!keeping.valid()) return;
  kept = keeping.get();
  if (!kept.fileError.isEmpty()) throw ValdError(kept.fileError);
}
