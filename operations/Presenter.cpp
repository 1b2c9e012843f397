#include "operations/Presenter.h"

#include <QCoreApplication>

#include "core/Win1250.h"
#include "files/MeasurementLine.h"

namespace {

const QByteArray NoDeviceText = "No device";

void ShowByteCount(const std::optional<int>& count, WindowModel& view) {
  if (count) view.label1 = QByteArray::number(*count);
}

}  // namespace

void PresentReadout(const ReadoutResult& result, const SharedState& state, WindowModel& view,
                    char systemDecimalSeparator) {
  ShowByteCount(result.receivedByteCount, view);
  if (!result.headerRead) return;
  view.memo1 = result.logRead ? state.DecodedLines.Text() : QByteArray();
  view.memo2 = result.logRead ? ShownMeasurementLines(state, systemDecimalSeparator).Text() : QByteArray();
  if (result.chip.chipText != nullptr) view.statusPanels[3] = result.chip.chipText;
  view.labelDevice = result.deviceType ? QByteArray(result.deviceType->name) : NoDeviceText;
}

void PresentToolResult(const ToolResult& result, WindowModel& view) {
  ShowByteCount(result.receivedByteCount, view);
  if (result.memo1) view.memo1 = *result.memo1;
}

void PresentRegistration(const RegistrationResult& result, WindowModel& view) {
  const QByteArray NoData = ToWin1250(QCoreApplication::translate("Presenter", "  -nincs adat"));
  const QByteArray AlreadyListed =
      ToWin1250(QCoreApplication::translate("Presenter", "  -már van ilyen mac address"));
  const QByteArray Added = ToWin1250(QCoreApplication::translate("Presenter", "  -hozzáadva"));

  if (!result.reply) return;
  if (!result.verdict) {
    view.memo1 = *result.reply;
    return;
  }
  switch (*result.verdict) {
    case RegistrationVerdict::NoData:
      view.memo1 = *result.reply + NoData;
      break;
    case RegistrationVerdict::AlreadyListed:
      view.memo1 = result.entry + AlreadyListed;
      break;
    case RegistrationVerdict::Added:
      view.memo1 = result.entry + Added;
      break;
  }
}

void PresentLoadedFile(const LoadedMeasurementFile& loaded, WindowModel& view) {
  if (!loaded.deviceType) {
    view.labelDevice = NoDeviceText;
    return;
  }
  view.labelDevice = loaded.deviceType->name;
  view.memo2 = loaded.logText;
}
