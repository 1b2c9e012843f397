#include "operations/Readout.h"

#include <future>

#include "archive/ArchiveLocation.h"
#include "core/ValdError.h"
#include "files/MeasurementFile.h"
#include "files/MeasurementLine.h"
#include "operations/Presenter.h"
#include "operations/ReadoutArchive.h"
#include "views/RenderViews.h"

bool ReadoutWantsIdentity(const Environment& env) {
  if (env.publishReadouts) return true;
  try {
    return !ParseArchiveLocation(env.archive, env.programFolder).IsOff();
  } catch (const ValdError&) {
    // An archive setting that names no archive fails at the merge, where it is reported.
    return false;
  }
}

void ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                   const QString& host, ReadoutResult& result, KeptReadout& kept,
                   const std::function<void(int block, int blockCount)>& progress,
                   ArchiveWriter* archiveWriter) {
  try {
    ReadLog(state, link, IdentityAsksFor(env), host, result, progress);
  } catch (...) {
    PresentReadout(result, state, view);
    throw;
  }
  ShowReadout(state, view, env, result, kept, archiveWriter);
}

ReadoutReport ReadDeviceLog(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env,
                            const QString& host,
                            const std::function<void(int block, int blockCount)>& progress) {
  ReadoutReport report;
  ReadDeviceLog(state, view, link, env, host, report, report, progress);
  return report;
}

void AdoptReadoutLog(SharedState& state, const ReadoutResult& result, const Environment& env) {
  const LineSeparators separators = SeparatorsOf(state.DecimalSeparatorText, env.systemDecimalSeparator);
  state.SetLog(FormatMeasurementLines(result.log.records, result.log.values, separators), result.log);
}

void AdoptDecodedLines(SharedState& state, const ReadoutResult& result, const Environment& env) {
  state.DecodedLines =
      FormatDecodedLines(result.memoryOrder, result.log.values,
                         SeparatorsOf(state.DecimalSeparatorText, env.systemDecimalSeparator));
}

KeptReadout KeepReadout(const SharedState& state, const Environment& env, const ReadoutResult& result,
                        ArchiveWriter* archiveWriter) {
  KeptReadout kept;
  // The file is written while the archive merges: its wait for the disk need not add to the merge's.
  KeptReadout file;
  std::future<void> fileWritten;
  if (env.writeMeasurementFiles) {
    fileWritten = std::async(std::launch::async, [&] {
      try {
        file.measurementFile = SaveAutomaticMeasurementFile(state, env);
      } catch (const ValdError& error) {
        file.fileError = error.Message();
      }
    });
  }
  ArchiveReadoutLog(state, env, result, kept, archiveWriter);
  if (fileWritten.valid()) {
    fileWritten.get();
    kept.measurementFile = file.measurementFile;
    kept.fileError = file.fileError;
  }
  return kept;
}

void ShowReadout(SharedState& state, WindowModel& view, const Environment& env, const ReadoutResult& result,
                 KeptReadout& kept, ArchiveWriter* archiveWriter) {
  if (result.logRead) AdoptReadoutLog(state, result, env);
  // The log is kept on a thread of its own while the window's texts and views are made, from a copy of
  // the state, which they change; whatever becomes of the views, the log is kept before this returns.
  std::future<KeptReadout> keeping;
  if (result.deviceFound()) {
    keeping = std::async(std::launch::async, [copy = state, &env, &result, archiveWriter] {
      return KeepReadout(copy, env, result, archiveWriter);
    });
  }
  try {
    if (result.logRead) AdoptDecodedLines(state, result, env);
    PresentReadout(result, state, view);
    if (keeping.valid()) RenderViews(state, view, env);
  } catch (...) {
    if (keeping.valid()) kept = keeping.get();
    throw;
  }
  if (!keeping.valid()) return;
  kept = keeping.get();
  if (!kept.fileError.isEmpty()) throw ValdError(kept.fileError);
}
