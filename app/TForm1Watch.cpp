// The main window's limits, alarms, statistics and report.

#include <QFileInfo>

#include "TForm1.h"
#include "core/BoundedFile.h"
#include "core/EditedTextFile.h"
#include "core/TextLines.h"
#include "operations/ShownLogReport.h"
#include "translations/Translation.h"
#include "watch/LogAlarms.h"

void TForm1::CheckLimits(bool showNow) {
  ShowLogWatch(WatchShownLog(state_, view_, ReadoutEnvironment(), shownDevice_), showNow);
}

void TForm1::ShowReadoutAlarms(const ReadoutOutcome& outcome, bool showNow) {
  ShowLogWatch(WatchReadout(view_, *run_, runLimitsWarning_, outcome, shownDevice_, state_.DeviceCode),
               showNow);
}

void TForm1::ShowLogWatch(const LogWatch& watch, bool showNow) {
  ShowModel();
  for (const QString& text : {watch.warning, watch.message}) {
    if (text.isEmpty()) continue;
    if (showNow) {
      dialogs_.showWarning(this, text);
    } else {
      readAllAlarms_ << text;
    }
  }
}

void TForm1::EditLimitsFile() {
  const QString path = ReadReadoutSettings(state_.SettingsLines, env_).limitsFile;
  const QByteArray text = QFileInfo::exists(path) ? ReadWholeFile(path, MaxEditedFileBytes) : QByteArray();
  const std::optional<QByteArray> edited = dialogs_.editLimits(this, path, text, LimitsTextProblem);
  if (!edited) return;
  WriteWholeFile(path, *edited);
  CheckLimits(true);
}

void TForm1::ShowLogStatistics() {
  dialogs_.showStatistics(this, ShownLogStatistics(state_, env_.systemDecimalSeparator));
}

void TForm1::WriteLogReport() {
  // Nothing to choose a file for without a log.
  ShownLogType(state_);
  const QString path = dialogs_.chooseReportFile(this, SuggestedReportName(state_, env_));
  // The report speaks the window's language.
  const TableWording language =
      InstalledLanguage() == QLatin1String("en") ? TableWording::English : TableWording::Hungarian;
  if (!path.isEmpty()) WriteShownLogReport(path, state_, env_, shownDevice_, language);
}
