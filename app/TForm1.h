#pragma once

#include <QMainWindow>
#include <QSet>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>

#include "Form1Dialogs.h"
#include "archive/ArchiveWriter.h"
#include "core/Environment.h"
#include "core/SharedState.h"
#include "link/DeviceLink.h"
#include "operations/ReadAllReport.h"
#include "operations/ShownLogWatch.h"
#include "readout/ReadoutQueue.h"
#include "settings/WindowPlacement.h"
#include "views/WindowModel.h"

namespace Ui {
class TForm1;
}
class ChartView;
class LogReadout;
class QLabel;
class TF_Nev;
class TForm3;

// The main window. Its handlers run the core operations on the shared state and the window model and
// then show the model; an error ends the handler and is shown in a message box, with the state as the
// handler left it.
class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  // Creates the window from its design and runs the creation step.
  TForm1(const Environment& env, Form1Dialogs dialogs = Form1Dialogs::Real(), QWidget* parent = nullptr);
  ~TForm1() override;

  // The About window and the settings editor to use instead of the window's own, which it makes when a
  // menu item first asks for them.
  void AttachWindows(TF_Nev* about, TForm3* editor);

  SharedState& State() { return state_; }
  WindowModel& View() { return view_; }
  DeviceLink& Link() { return link_; }
  Ui::TForm1& Controls() { return *ui_; }
  QLabel* StatusPanel(int index) const { return statusPanels_[size_t(index)]; }
  QTimer& SaveTimer() { return TimerUpDnSave; }
  Form1Dialogs& Dialogs() { return dialogs_; }

  // The settings editor's "Mentés": cfg.ini replaced by the edited text, then the creation step again.
  void SaveSettingsFromEditor(const QByteArray& settingsText);

  // Handlers, named after their control and event.
  void FormCreate();
  void Open1Click();
  void Save1Click();
  void Elzmnyek1Click();
  // "Exportálás...": the current log as an xlsx workbook or a CSV file.
  void Exportls1Click();
  void Exit1Click();
  void PlacementClick(Placement placement);
  void cc1Click();
  void cfginiszerkeszts1Click();
  void Nvjegy1Click();
  void Adatoktrlse1Click();
  // Starts the readout of one address field's device; the window stays live while it runs.
  void QueryButtonClick(int addressField);
  // "Összes lekérdezése": every non-empty address field in order, then one closing message.
  void ReadAll1Click();
  // "Megszakítás" and Esc: the readout stops after the exchange in flight and leaves everything as it
  // was before it started.
  void CancelReadout();
  bool ReadoutRunning() const { return readout_ != nullptr; }
  // "Kép mentése...": the visible chart page as PNG or PDF.
  void SaveImage1Click();
  // "Határértékek...", "Statisztika...", "Jelentés...": the limits file, the daily statistics and the
  // printable report of the shown log.
  void Hatrrtkek1Click();
  void Statisztika1Click();
  void Jelents1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();
  void SpeedButton11Click();
  void Button1Click();
  // "Skála az adatokhoz" (F6, and the charts' context menu): the shown chart's axis controls fitted to
  // its values.
  void ScaleToData1Click();
  void UpDnMaxClick(int page, bool up);
  void UpDnMinClick(int page, bool up);
  // Mouse movement over any of the four charts, as the chart's bottom-axis and left-axis values.
  void ChartMouseMove(QPointF axisValues);
  void TimerUpDnSaveTimer();

 signals:
  // The readout or readouts started by a query ended, however they ended, and the window shows the end.
  void ReadoutFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FormClose();
  void BuildStatusBar();
  void ApplyDesignFonts();
  void ConnectHandlers();
  void ArmSaveTimer();
  // Runs one handler: the editable fields are read into the model first, the model is shown afterwards,
  // and an error is reported in a message box.
  template <class Body>
  void RunHandler(Body&& body);
  // Runs a handler's body and returns the text of the error that ended it, empty if none.
  template <class Body>
  QString RunCatching(Body&& body);
  void StartReadouts(const QStringList& hosts, bool readingAll);
  void StartNextReadout();
  void ShowReadoutProgress(int block, int blockCount);
  void ReadoutEnded();
  void EndReadouts(bool cancelled);
  // The controls that start device work or change the log, enabled or not; the cancel controls the
  // other way round.
  void EnableDeviceWork(bool enabled);
  void PullEdits();
  void ShowModel();
  void ShowDataPage(bool shown);
  // Status panel 2 names the pages whose values all lie off the scale, with the key that fits it.
  void ShowOffAxisHint();
  void ApplyGeometry(const QRect& outer);
  TF_Nev& AboutWindow();
  TForm3& SettingsEditor();
  // The program's environment with the archive and the time zone of cfg.ini (ReadReadoutSettings).
  Environment ReadoutEnvironment() const;
  // The shown log against the limits (WatchShownLog), or after a readout the alarms its run found
  // (WatchReadout); its warnings and new alarms shown at once, or kept for the end of "Összes
  // lekérdezése". The bodies of the limits, statistics and report handlers. (TForm1Watch.cpp)
  void CheckLimits(bool showNow);
  void ShowReadoutAlarms(const ReadoutOutcome& outcome, bool showNow);
  void ShowLogWatch(const LogWatch& watch, bool showNow);
  void EditLimitsFile();
  void ShowLogStatistics();
  void WriteLogReport();

  std::unique_ptr<Ui::TForm1> ui_;
  Environment env_;
  Form1Dialogs dialogs_;
  SharedState state_;
  WindowModel view_;
  DeviceLink link_;
  QTimer TimerUpDnSave;
  std::array<QLabel*, 7> statusPanels_{};
  std::array<ChartView*, 4> chartViews_{};
  QRect shownGeometry_;
  QByteArray shownMemo1_;
  QByteArray shownMemo2_;
  std::optional<RichText> shownSummary_;
  std::array<std::optional<RichText>, 4> shownStrips_;
  int shownTabWidth_ = -1;
  QString dataPageCaption_;
  // The readout running, owned by the window; its state becomes the window's only when it finishes.
  LogReadout* readout_ = nullptr;
  std::unique_ptr<ReadoutRun> run_;  // where the readouts under way go
  QString runLimitsWarning_;         // why the run's limits could not be read
  std::unique_ptr<ReadoutQueue> queue_ = std::make_unique<ReadoutQueue>();
  qsizetype queuedReadout_ = 0;  // the queue's place of the device being read
  bool readingAll_ = false;
  QList<AddressReadout> addressReadouts_;
  bool closeAfterReadout_ = false;
  QAction* readFirstAction_ = nullptr;
  QAction* cancelAction_ = nullptr;
  ShownDevice shownDevice_;
  QStringList readAllAlarms_;
  // The devices read since the window opened: the first readout of each says when its values lie off
  // the scale.
  QSet<QString> readDevices_;
  QByteArray offAxisHint_;
  TF_Nev* F_Nev = nullptr;
  TForm3* Form3 = nullptr;
};
