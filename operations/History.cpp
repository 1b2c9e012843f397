#include "operations/History.h"

#include <QCoreApplication>

#include "archive/ArchivedLine.h"
#include "core/Win1250.h"
#include "decode/DeviceCatalogue.h"
#include "files/MeasurementFileLoad.h"
#include "files/MeasurementLine.h"
#include "operations/Presenter.h"
#include "views/RenderViews.h"

namespace {

constexpr int HistoryStatusPanel = 2;

QString DateText(const QDate& date) {
  return date.toString(QStringLiteral("yyyy-MM-dd"));
}

}  // namespace

int ShowArchivedHistory(SharedState& state, WindowModel& view, const Environment& env, ArchiveStore& store,
                        const ArchivedDevice& device, const QDate& from, const QDate& to) {
  const QList<QByteArray> lines =
      store.Lines(device.id, ArchiveTimeFromText(DateText(from), false).value_or(""),
                  ArchiveTimeFromText(DateText(to), true).value_or(""));
  TextLines logLines;
  for (const QByteArray& line : lines) logLines.Add(line);
  state.LogRecords = ReadMeasurementLines(logLines);
  state.DeviceCode = device.deviceCode;
  LoadedMeasurementFile loaded;
  loaded.deviceType = LookUpDeviceType(device.deviceCode);
  if (loaded.deviceType) {
    state.RecordLength = loaded.deviceType->recordLength;
    loaded.logText = logLines.Text();
  }
  PresentLoadedFile(loaded, view);
  view.statusPanels[HistoryStatusPanel] =
      ToWin1250(QCoreApplication::translate("History", "Előzmények: %1 %2 – %3, %4 rekord")
                    .arg(device.key, DateText(from), DateText(to))
                    .arg(lines.size()));
  if (loaded.deviceType) RenderViews(state, view, env);
  return int(lines.size());
}
