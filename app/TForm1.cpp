#include "TForm1.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>

#include "ChartView.h"
#include "RichTextView.h"
#include "TF_Nev.h"
#include "TForm3.h"
#include "archive/ArchiveLocation.h"
#include "archive/SiteTime.h"
#include "core/BoundedFile.h"
#include "core/EditedTextFile.h"
#include "core/ValdError.h"
#include "core/Win1250.h"
#include "files/MeasurementFile.h"
#include "files/MeasurementLine.h"
#include "files/UserSave.h"
#include "operations/FileOpen.h"
#include "operations/History.h"
#include "operations/LogExport.h"
#include "operations/Presenter.h"
#include "operations/Readout.h"
#include "operations/ServiceTools.h"
#include "operations/SettingsApplication.h"
#include "pipeline/ReadoutPipeline.h"
#include "readout/IncompleteLog.h"
#include "readout/LogReadout.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui_TForm1.h"
#include "views/AxisScale.h"
#include "views/CursorReadout.h"
#include "views/ViewClearing.h"

namespace {

constexpr int SaveDelayMs = 1000;
constexpr std::array<int, 7> StatusPanelWidths = {60, 60, 300, 100, 100, 100, 50};
constexpr int DataPageIndex = 5;
constexpr int ChartPageCount = 4;
// The wide status panel: where a readout says which device and block it is at.
constexpr int ProgressPanel = 2;
// The axis minimum control keeps this distance to the chart's bottom edge when the window is resized.
constexpr int MinControlBottomMargin = 9;

QFont PixelFont(const QString& family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QString DisplayText(const QByteArray& text) {
  QString shown = FromWin1250(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

// A memo is refilled only when its text changed: a full log is thousands of lines.
void ShowPlainText(QPlainTextEdit* memo, const QByteArray& text, QByteArray& shown) {
  if (text == shown) return;
  shown = text;
  memo->setPlainText(DisplayText(text));
}

// A rich-text box likewise: the handlers show the model after every action, mostly unchanged.
void ShowRichTextBox(QTextEdit* box, const RichText& text, std::optional<RichText>& shown) {
  if (text == shown) return;
  shown = text;
  ShowRichText(box, text, Qt::AlignHCenter);
}

void ShowEditText(QLineEdit* edit, const QByteArray& text) {
  const QString shown = FromWin1250(text);
  if (edit->text() != shown) edit->setText(shown);
}

// An incomplete log, a log that does not hold together and an archive that could not take the log.
QString ReadoutWarning(const ReadoutResult& result, const ReadoutOutcome& kept) {
  QStringList lines;
  if (!result.blocksWithoutReply.isEmpty())
    lines << IncompleteLogMessage(result.blocksWithoutReply, result.lostRecords);
  if (const QString suspect = SuspectLogMessage(result.integrity); !suspect.isEmpty()) lines << suspect;
  if (!kept.archiveError.isEmpty())
    lines << TForm1::tr("Az archívum írása nem sikerült: %1").arg(kept.archiveError);
  return lines.join(QLatin1Char('\n'));
}

QString ReadoutProgressText(const QString& host, int blocksRead, int blockCount) {
  return TForm1::tr("%1: %2/%3 blokk").arg(host).arg(blocksRead).arg(blockCount);
}

// "yy.mm.dd hh.nn VALD_<type>.png", as the automatic measurement file of the shown device would be named.
QString SuggestedImageName(const QDateTime& now, int deviceCode) {
  QString name;
  try {
    name = AutomaticFileName(now, deviceCode);
  } catch (const ValdError&) {
    return QStringLiteral("VALD.png");
  }
  return QFileInfo(name).completeBaseName() + QStringLiteral(".png");
}

}  // namespace

TForm1::TForm1(const Environment& env, Form1Dialogs dialogs, QWidget* parent)
    : QMainWindow(parent), ui_(new Ui::TForm1), env_(env), dialogs_(std::move(dialogs)) {
  Q_INIT_RESOURCE(resources);
  // The design font before the controls exist: they take it on creation instead of all being told of
  // a new font afterwards.
  setFont(PixelFont(QStringLiteral("Courier New"), 11));
  ui_->setupUi(this);
  // The window may be made as small as the placement items need; the pages shrink with it.
  ui_->PageControl1->setMinimumSize(1, 1);
  ui_->PageControl1->setUsesScrollButtons(true);
  // The summary box sits on the panel's button-face colour, without a border.
  QPalette summaryPalette = ui_->RichEdit1->palette();
  summaryPalette.setColor(QPalette::Base, summaryPalette.color(QPalette::Button));
  ui_->RichEdit1->setPalette(summaryPalette);
  dataPageCaption_ = ui_->PageControl1->tabText(DataPageIndex);
  setWindowIcon(QIcon(QStringLiteral(":/vald.png")));
  ApplyDesignFonts();
  BuildStatusBar();
  std::array<QCustomPlot*, 4> plots = {ui_->Chart_T, ui_->Chart_H, ui_->Chart_C, ui_->Chart_V};
  for (int page = 0; page < 4; ++page) chartViews_[size_t(page)] = new ChartView(plots[size_t(page)]);
  TimerUpDnSave.setSingleShot(true);
  TimerUpDnSave.setInterval(SaveDelayMs);
  ConnectHandlers();
  ui_->ButtonCancel->hide();
  ShowModel();
  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::AttachWindows(TF_Nev* about, TForm3* editor) {
  F_Nev = about;
  Form3 = editor;
}

void TForm1::ApplyDesignFonts() {
  const QFont courier = PixelFont(QStringLiteral("Courier New"), 11);
  setFont(courier);
  menuBar()->setFont(courier);
  ui_->LabelDevice->setFont(PixelFont(QStringLiteral("Arial Narrow"), 19, true));
  statusBar()->setFont(PixelFont(QStringLiteral("Courier New"), 12));
}

void TForm1::BuildStatusBar() {
  statusBar()->setFixedHeight(19);
  // Panels that do not fit a narrow window are cut off at the right edge, not widening the window.
  statusBar()->setMinimumWidth(1);
  statusBar()->setSizeGripEnabled(false);
  for (size_t i = 0; i < statusPanels_.size(); ++i) {
    auto* panel = new QLabel(statusBar());
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setFixedWidth(StatusPanelWidths[i]);
    panel->setAlignment(i == 6 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    panel->setFrameShape(QFrame::StyledPanel);
    statusBar()->addWidget(panel);
    statusPanels_[i] = panel;
  }
}

void TForm1::ConnectHandlers() {
  connect(ui_->Open1, &QAction::triggered, this, &TForm1::Open1Click);
  connect(ui_->Save1, &QAction::triggered, this, &TForm1::Save1Click);
  connect(ui_->Elzmnyek1, &QAction::triggered, this, &TForm1::Elzmnyek1Click);
  connect(ui_->Exportls1, &QAction::triggered, this, &TForm1::Exportls1Click);
  connect(ui_->Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
  const std::array<std::pair<QAction*, Placement>, 7> placements = {{
      {ui_->Alaprtelmezett1, Placement::Default},
      {ui_->N121, Placement::LeftHalf},
      {ui_->N221, Placement::RightHalf},
      {ui_->N141, Placement::TopLeftQuarter},
      {ui_->N241, Placement::TopRightQuarter},
      {ui_->N341, Placement::BottomLeftQuarter},
      {ui_->N441, Placement::BottomRightQuarter},
  }};
  for (const auto& [action, placement] : placements) {
    connect(action, &QAction::triggered, this, [this, placement = placement] { PlacementClick(placement); });
  }
  connect(ui_->cc1, &QAction::triggered, this, &TForm1::cc1Click);
  connect(ui_->cfginiszerkeszts1, &QAction::triggered, this, &TForm1::cfginiszerkeszts1Click);
  connect(ui_->Nvjegy1, &QAction::triggered, this, &TForm1::Nvjegy1Click);
  connect(ui_->Adatoktrlse1, &QAction::triggered, this, &TForm1::Adatoktrlse1Click);

  const std::array<QToolButton*, 5> queryButtons = {ui_->SpeedButton7, ui_->SpeedButton6, ui_->SpeedButton8,
                                                    ui_->SpeedButton9, ui_->SpeedButton10};
  for (int field = 0; field < 5; ++field) {
    connect(queryButtons[size_t(field)], &QToolButton::clicked, this,
            [this, field] { QueryButtonClick(field); });
  }
  connect(ui_->SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
  connect(ui_->SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
  connect(ui_->SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
  connect(ui_->SpeedButton11, &QToolButton::clicked, this, &TForm1::SpeedButton11Click);
  connect(ui_->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);

  const std::array<UpDownControl*, 4> maxControls = {ui_->UpDnMaxT, ui_->UpDnMaxH, ui_->UpDnMaxC,
                                                     ui_->UpDnMaxV};
  const std::array<UpDownControl*, 4> minControls = {ui_->UpDnMinT, ui_->UpDnMinH, ui_->UpDnMinC,
                                                     ui_->UpDnMinV};
  for (int page = 0; page < 4; ++page) {
    connect(maxControls[size_t(page)], &UpDownControl::Clicked, this,
            [this, page](bool up) { UpDnMaxClick(page, up); });
    connect(minControls[size_t(page)], &UpDownControl::Clicked, this,
            [this, page](bool up) { UpDnMinClick(page, up); });
    connect(chartViews_[size_t(page)], &ChartView::MouseMoved, this, &TForm1::ChartMouseMove);
    // The minimum control stays anchored to the chart's bottom left corner.
    UpDownControl* minControl = minControls[size_t(page)];
    connect(chartViews_[size_t(page)], &ChartView::Resized, this, [minControl](QSize size) {
      minControl->move(minControl->x(), size.height() - minControl->height() - MinControlBottomMargin);
    });
  }
  connect(&TimerUpDnSave, &QTimer::timeout, this, &TForm1::TimerUpDnSaveTimer);

  connect(ui_->ReadAll1, &QAction::triggered, this, &TForm1::ReadAll1Click);
  connect(ui_->SaveImage1, &QAction::triggered, this, &TForm1::SaveImage1Click);
  connect(ui_->Hatrrtkek1, &QAction::triggered, this, &TForm1::Hatrrtkek1Click);
  connect(ui_->Statisztika1, &QAction::triggered, this, &TForm1::Statisztika1Click);
  connect(ui_->Jelents1, &QAction::triggered, this, &TForm1::Jelents1Click);
  connect(ui_->ButtonCancel, &QPushButton::clicked, this, &TForm1::CancelReadout);
  readFirstAction_ = new QAction(this);
  readFirstAction_->setShortcut(Qt::Key_F5);
  addAction(readFirstAction_);
  connect(readFirstAction_, &QAction::triggered, this, [this] { QueryButtonClick(0); });
  cancelAction_ = new QAction(this);
  cancelAction_->setShortcut(Qt::Key_Escape);
  cancelAction_->setEnabled(false);
  addAction(cancelAction_);
  connect(cancelAction_, &QAction::triggered, this, &TForm1::CancelReadout);
  // The scale is fitted from the menu of any chart, or with its key wherever the focus is.
  connect(ui_->ScaleToData1, &QAction::triggered, this, &TForm1::ScaleToData1Click);
  addAction(ui_->ScaleToData1);
  for (QCustomPlot* plot : {ui_->Chart_T, ui_->Chart_H, ui_->Chart_C, ui_->Chart_V}) {
    plot->setContextMenuPolicy(Qt::ActionsContextMenu);
    plot->addAction(ui_->ScaleToData1);
  }
  // A picture is of a chart page only.
  connect(ui_->PageControl1, &QTabWidget::currentChanged, this,
          [this](int page) { ui_->SaveImage1->setEnabled(page >= 0 && page < ChartPageCount); });
}

template <class Body>
QString TForm1::RunCatching(Body&& body) {
  try {
    body();
  } catch (const ValdError& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return QString::fromLocal8Bit(e.what());
  }
  return {};
}

template <class Body>
void TForm1::RunHandler(Body&& body) {
  PullEdits();
  const QString error = RunCatching(std::forward<Body>(body));
  ShowModel();
  if (!error.isEmpty()) dialogs_.showError(this, error);
}

void TForm1::PullEdits() {
  const std::array<QLineEdit*, 5> edits = {ui_->Edit_IP1, ui_->Edit_IP2, ui_->Edit_IP3, ui_->Edit_IP4,
                                           ui_->Edit_IP5};
  for (size_t i = 0; i < edits.size(); ++i) view_.addressEdits[i] = ToWin1250(edits[i]->text());
  view_.eeAddrEdit = ToWin1250(ui_->Edit_EE_addr->text());
  view_.blockCountEdit = ToWin1250(ui_->Edit3->text());
  view_.geometry = frameGeometry();
  shownGeometry_ = view_.geometry;
}

void TForm1::ApplyGeometry(const QRect& outer) {
  // The model holds the outer geometry (frame included), as cfg.ini does.
  const QSize frame = frameGeometry().size() - geometry().size();
  resize(outer.size() - frame);
  move(outer.topLeft());
  shownGeometry_ = outer;
}

void TForm1::ShowModel() {
  if (view_.geometry != shownGeometry_) ApplyGeometry(view_.geometry);

  ui_->LabelDevice->setText(FromWin1250(view_.labelDevice));
  const std::array<QLineEdit*, 5> edits = {ui_->Edit_IP1, ui_->Edit_IP2, ui_->Edit_IP3, ui_->Edit_IP4,
                                           ui_->Edit_IP5};
  for (size_t i = 0; i < edits.size(); ++i) ShowEditText(edits[i], view_.addressEdits[i]);
  ShowEditText(ui_->Edit_EE_addr, view_.eeAddrEdit);
  ShowEditText(ui_->Edit3, view_.blockCountEdit);
  // While a readout runs, the bar, its caption and the wide panel show its progress instead.
  if (!readout_) {
    ui_->LabelProggrPos->setText(FromWin1250(view_.gaugeCaption));
    ui_->ProgressBar1->setMaximum(view_.progressMaximum);
    ui_->ProgressBar1->setValue(std::clamp(view_.progressPosition, 0, view_.progressMaximum));
  }
  ShowRichTextBox(ui_->RichEdit1, view_.summary, shownSummary_);

  if (view_.tabWidth != shownTabWidth_) {
    shownTabWidth_ = view_.tabWidth;
    ui_->PageControl1->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { width: %1px; }").arg(view_.tabWidth));
  }
  const std::array<QTextEdit*, 4> strips = {ui_->RichEditT, ui_->RichEditH, ui_->RichEditC, ui_->RichEditV};
  for (int page = 0; page < 4; ++page) {
    ui_->PageControl1->setTabVisible(page, view_.tabVisible[size_t(page)]);
    ui_->PageControl1->setTabText(page, FromWin1250(view_.pageCaptions[size_t(page)]));
    chartViews_[size_t(page)]->Show(view_.pages[size_t(page)].chart);
    ShowRichTextBox(strips[size_t(page)], view_.pages[size_t(page)].strip, shownStrips_[size_t(page)]);
  }
  ui_->PageControl1->setTabVisible(4, view_.tabVisible[4]);
  ShowDataPage(view_.tabVisible[DataPageIndex] && view_.developerPageVisible);
  ui_->Panel4->setVisible(view_.developerPageVisible);

  ShowPlainText(ui_->Memo1, view_.memo1, shownMemo1_);
  ShowPlainText(ui_->Memo2, view_.memo2, shownMemo2_);
  ui_->Label1->setText(FromWin1250(view_.label1));
  for (size_t i = 0; i < statusPanels_.size(); ++i) {
    if (readout_ && i == ProgressPanel) continue;
    statusPanels_[i]->setText(FromWin1250(view_.statusPanels[i]));
  }
}

// A hidden tab would still be listed, as showing, by assistive technology: the developer page is taken
// out of the page control instead and put back in its place. It is the last page, so the other pages
// keep their indexes.
void TForm1::ShowDataPage(bool shown) {
  QTabWidget* pages = ui_->PageControl1;
  const bool present = pages->indexOf(ui_->Tab_Data) >= 0;
  if (shown == present) return;
  if (shown) {
    pages->insertTab(DataPageIndex, ui_->Tab_Data, dataPageCaption_);
  } else {
    pages->removeTab(DataPageIndex);
  }
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Only now is the window frame known: place the outer geometry exactly.
  ApplyGeometry(view_.geometry);
}

void TForm1::ArmSaveTimer() {
  TimerUpDnSave.stop();
  TimerUpDnSave.start();
}

void TForm1::FormCreate() {
  QStringList notices;
  RunHandler([&] {
    QDir::setCurrent(env_.programFolder);
    notices = RunCreationStep(state_, view_, link_, env_);
  });
  for (const QString& notice : notices) dialogs_.showWarning(this, notice);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (readout_) {
    // The readout ends after its exchange in flight; the window closes then.
    closeAfterReadout_ = true;
    CancelReadout();
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

void TForm1::FormClose() {
  RunHandler([this] {
    StoreGeometrySettings(state_, view_);
    QDir::setCurrent(env_.programFolder);
    SaveSettingsFile(state_, env_);
  });
  state_.RecreateLists();
}

void TForm1::TimerUpDnSaveTimer() {
  TimerUpDnSave.stop();
  RunHandler([this] {
    StoreTimerSettings(state_, view_);
    QDir::setCurrent(env_.programFolder);
    SaveSettingsFile(state_, env_);
  });
}

void TForm1::SaveSettingsFromEditor(const QByteArray& settingsText) {
  // The file is written before anything is freed, so a failed write leaves the lists usable.
  bool written = false;
  RunHandler([&] {
    WriteWholeFile(env_.ProgramFile(SettingsFileName), settingsText);
    written = true;
  });
  if (written) FormCreate();
}

void TForm1::Open1Click() {
  const QString path = dialogs_.chooseOpenFile(this);
  if (path.isEmpty()) return;
  RunHandler([&] {
    QDir::setCurrent(env_.programFolder);
    OpenMeasurementFile(state_, view_, env_, path);
    shownDevice_ = ShownDeviceOfFile(state_.DeviceCode);
    CheckLimits(true);
  });
}

void TForm1::Save1Click() {
  const QString path = dialogs_.chooseSaveFile(this);
  if (path.isEmpty()) return;
  RunHandler([&] {
    QDir::setCurrent(env_.programFolder);
    SaveUserMeasurementFile(ShownMeasurementLines(state_, env_.systemDecimalSeparator), view_.labelDevice,
                            path);
  });
}

Environment TForm1::ReadoutEnvironment() const {
  return WithReadoutSettings(env_, ReadReadoutSettings(state_.SettingsLines, env_));
}

void TForm1::Elzmnyek1Click() {
  RunHandler([this] {
    QDir::setCurrent(env_.programFolder);
    const Environment env = ReadoutEnvironment();
    const ArchiveLocation location = ParseArchiveLocation(env.archive, env.programFolder);
    if (location.IsOff()) throw ValdError(tr("Nincs archívum: a cfg.ini Archive kulcsa kikapcsolja."));
    ArchiveStore store(location, ArchiveAccess::ReadWrite, SiteTimeZone(env.timeZone));
    const QList<ArchivedDevice> devices = store.Devices();
    QStringList keys;
    for (const ArchivedDevice& device : devices) keys << device.key;
    constexpr int DefaultHistoryDays = 30;
    const QDate today = env_.now().date();
    const std::optional<HistoryChoice> choice =
        dialogs_.chooseHistory(this, keys, today.addDays(-DefaultHistoryDays), today);
    if (!choice) return;
    const qsizetype index = keys.indexOf(choice->device);
    if (index < 0) throw ValdError(tr("Nincs ilyen eszköz az archívumban: %1").arg(choice->device));
    ShowArchivedHistory(state_, view_, env_, store, devices[index], choice->from, choice->to);
    shownDevice_ = ShownDeviceOfHistory(devices[index]);
    CheckLimits(true);
  });
}

void TForm1::Exportls1Click() {
  const QString path = dialogs_.chooseExportFile(this, SuggestedExportName(env_.now(), state_.DeviceCode));
  if (path.isEmpty()) return;
  RunHandler([&] { ExportCurrentLog(state_, ReadoutEnvironment(), path); });
}

void TForm1::Exit1Click() {
  close();
}

void TForm1::PlacementClick(Placement placement) {
  RunHandler([&] {
    view_.geometry = PlacementGeometry(placement, env_.screenSize);
    ArmSaveTimer();
  });
}

// Both are made when first asked for, not with the main window, so that it shows without waiting for them.
TF_Nev& TForm1::AboutWindow() {
  if (!F_Nev) F_Nev = new TF_Nev(windowTitle(), this);
  return *F_Nev;
}

TForm3& TForm1::SettingsEditor() {
  if (!Form3) {
    Form3 = new TForm3([this](const QByteArray& text) { SaveSettingsFromEditor(text); }, this);
    Form3->setEnabled(!ReadoutRunning());
  }
  return *Form3;
}

void TForm1::cfginiszerkeszts1Click() {
  TForm3& editor = SettingsEditor();
  editor.ShowCentredOn(this);
  RunHandler(
      [&] { editor.SetSettingsText(ReadWholeFile(env_.ProgramFile(SettingsFileName), MaxEditedFileBytes)); });
}

void TForm1::Nvjegy1Click() {
  TF_Nev& about = AboutWindow();
  about.move(frameGeometry().center() - QPoint(about.width() / 2, about.height() / 2));
  about.show();
  about.raise();
}

void TForm1::Adatoktrlse1Click() {
  RunHandler([this] { ClearViews(state_, view_); });
}

void TForm1::QueryButtonClick(int addressField) {
  if (readout_) return;
  PullEdits();
  StartReadouts({FromWin1250(view_.addressEdits[size_t(addressField)])}, false);
}

void TForm1::ReadAll1Click() {
  if (readout_) return;
  PullEdits();
  QStringList hosts;
  for (const QByteArray& address : view_.addressEdits) {
    if (!address.trimmed().isEmpty()) hosts << FromWin1250(address);
  }
  if (!hosts.isEmpty()) StartReadouts(hosts, true);
}

void TForm1::StartReadouts(const QStringList& hosts, bool readingAll) {
  queue_ = std::make_unique<ReadoutQueue>(hosts);
  readingAll_ = readingAll;
  const ReadoutSettings settings = ReadReadoutSettings(state_.SettingsLines, env_);
  WindowLimits limits = LoadWindowLimits(settings);
  runLimitsWarning_ = limits.warning;
  run_ = std::make_unique<ReadoutRun>(OpenReadoutRun(WithReadoutSettings(env_, settings),
                                                     state_.DecimalSeparatorText, std::move(limits.rules)));
  addressReadouts_.clear();
  EnableDeviceWork(false);
  StartNextReadout();
}

void TForm1::StartNextReadout() {
  queuedReadout_ = *queue_->TakeNext();
  link_.host = queue_->Host(queuedReadout_);
  // The job keeps what it reads to itself until it has finished: a cancel leaves the window's log as it was.
  readout_ = new LogReadout(link_, IdentityAsksFor(*run_), state_.ReceivedByteCount, this);
  connect(readout_, &LogReadout::Progress, this, &TForm1::ShowReadoutProgress);
  connect(readout_, &LogReadout::Finished, this, &TForm1::ReadoutEnded);
  ui_->ProgressBar1->setValue(0);
  statusPanels_[ProgressPanel]->setText(link_.host);
  readout_->Start();
}

void TForm1::ShowReadoutProgress(int block, int blockCount) {
  ui_->ProgressBar1->setMaximum(blockCount);
  ui_->ProgressBar1->setValue(block + 1);
  ui_->LabelProggrPos->setText(QStringLiteral("%1/%2").arg(block + 1).arg(blockCount));
  statusPanels_[ProgressPanel]->setText(ReadoutProgressText(readout_->Result().host, block + 1, blockCount));
}

void TForm1::CancelReadout() {
  if (readout_) readout_->Cancel();
}

void TForm1::ReadoutEnded() {
  LogReadout* job = std::exchange(readout_, nullptr);
  // Finished is being emitted by the job.
  job->deleteLater();
  if (job->Cancelled()) {
    queue_->Cancel(queuedReadout_);
    EndReadouts(true);
    return;
  }
  AddressReadout readout{job->Result().host, job->Result(), {}, job->Error()};
  PullEdits();
  AdoptReadout(state_, readout.result);
  if (readout.error.isEmpty()) {
    readout.error = RunCatching([&] {
      ShowReadout(state_, view_, *run_, readout.result, readout.kept);
      ArmSaveTimer();
      shownDevice_ = ShownDeviceOfReadout(readout.kept, readout.result, *run_);
      if (!readDevices_.contains(readout.host)) {
        readDevices_.insert(readout.host);
        ShowOffAxisHint();
      }
    });
  } else {
    PresentReadout(readout.result, state_, view_, env_.systemDecimalSeparator);
  }
  ShowModel();
  addressReadouts_.append(readout);
  if (!readingAll_) {
    if (!readout.error.isEmpty()) {
      dialogs_.showError(this, readout.error);
    } else if (const QString warning = ReadoutWarning(readout.result, readout.kept); !warning.isEmpty()) {
      dialogs_.showWarning(this, warning);
    }
  }
  if (readout.error.isEmpty()) ShowReadoutAlarms(readout.kept, !readingAll_);
  if (!queue_->HasNext()) {
    EndReadouts(false);
  } else {
    StartNextReadout();
  }
}

void TForm1::EndReadouts(bool cancelled) {
  // The archive is closed once the window shows the readout: closing moves its write-ahead log into
  // the file, which the shown readout need not wait for.
  QTimer::singleShot(0, this, [this] {
    if (!readout_) run_.reset();
  });
  EnableDeviceWork(true);
  // The bar and its caption show the fill gauge again.
  ShowModel();
  if (cancelled) statusPanels_[ProgressPanel]->setText(tr("Lekérdezés megszakítva"));
  if (readingAll_ && !closeAfterReadout_) {
    dialogs_.showInformation(this, ReadAllReport(addressReadouts_, queue_->Unread()));
  }
  if (!readAllAlarms_.isEmpty() && !closeAfterReadout_)
    dialogs_.showWarning(this, readAllAlarms_.join("\n\n"));
  readAllAlarms_.clear();
  emit ReadoutFinished();
  if (closeAfterReadout_) close();
}

void TForm1::EnableDeviceWork(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           ui_->SpeedButton7, ui_->SpeedButton6, ui_->SpeedButton8, ui_->SpeedButton9, ui_->SpeedButton10,
           ui_->SpeedButton2, ui_->SpeedButton3, ui_->SpeedButton4, ui_->SpeedButton11, ui_->Button1}) {
    control->setEnabled(enabled);
  }
  for (QAction* action :
       {ui_->Open1, ui_->Save1, ui_->Adatoktrlse1, ui_->cfginiszerkeszts1, ui_->ReadAll1, readFirstAction_}) {
    action->setEnabled(enabled);
  }
  if (Form3) Form3->setEnabled(enabled);
  ui_->ButtonCancel->setVisible(!enabled);
  cancelAction_->setEnabled(!enabled);
}

void TForm1::SaveImage1Click() {
  const int page = ui_->PageControl1->currentIndex();
  if (page < 0 || page >= ChartPageCount) return;
  const QString path = dialogs_.chooseImageFile(this, SuggestedImageName(env_.now(), state_.DeviceCode));
  if (path.isEmpty()) return;
  RunHandler([&] { chartViews_[size_t(page)]->SavePicture(path); });
}

void TForm1::Hatrrtkek1Click() {
  RunHandler([this] { EditLimitsFile(); });
}

void TForm1::Statisztika1Click() {
  RunHandler([this] { ShowLogStatistics(); });
}

void TForm1::Jelents1Click() {
  RunHandler([this] { WriteLogReport(); });
}

void TForm1::ScaleToData1Click() {
  const int page = ui_->PageControl1->currentIndex();
  if (page < 0 || page >= ChartPageCount) return;
  RunHandler([&] {
    if (!FitAxisToValues(view_.pages[size_t(page)])) return;
    ArmSaveTimer();
    // A hint still shown names the pages left to fit.
    if (!offAxisHint_.isEmpty() && view_.statusPanels[ProgressPanel] == offAxisHint_) ShowOffAxisHint();
  });
}

void TForm1::ShowOffAxisHint() {
  offAxisHint_ = OffAxisHint(view_, ui_->ScaleToData1->shortcut().toString(QKeySequence::NativeText));
  view_.statusPanels[ProgressPanel] = offAxisHint_;
}

void TForm1::UpDnMaxClick(int page, bool up) {
  RunHandler([&] {
    ChartPageModel& chartPage = view_.pages[size_t(page)];
    ClickUpDown(chartPage.upDnMax, up ? UpDownButton::Up : UpDownButton::Down);
    StepAxisMaximum(chartPage);
    ArmSaveTimer();
  });
}

void TForm1::UpDnMinClick(int page, bool up) {
  RunHandler([&] {
    ChartPageModel& chartPage = view_.pages[size_t(page)];
    ClickUpDown(chartPage.upDnMin, up ? UpDownButton::Up : UpDownButton::Down);
    StepAxisMinimum(chartPage);
    ArmSaveTimer();
  });
}

void TForm1::cc1Click() {
  RunHandler([this] {
    std::optional<int> step;
    while (!step) {
      const QString answer =
          dialogs_.inputBox(this, FromWin1250(ScaleInputCaption()), FromWin1250(ScaleInputPrompt()),
                            FromWin1250(ScaleInputPreset(view_)));
      step = ReadScaleStep(ToWin1250(answer));
    }
    SetScaleStep(view_, *step);
    ArmSaveTimer();
  });
}

void TForm1::ChartMouseMove(QPointF axisValues) {
  ShowCursorReadout(view_, axisValues.x(), axisValues.y(), env_.systemDecimalSeparator);
  statusPanels_[0]->setText(FromWin1250(view_.statusPanels[0]));
  statusPanels_[1]->setText(FromWin1250(view_.statusPanels[1]));
}

void TForm1::SpeedButton2Click() {
  RunHandler([this] {
    DumpMemoryAsDecimal(state_, view_, link_);
    ArmSaveTimer();
  });
}

void TForm1::SpeedButton3Click() {
  RunHandler([this] {
    DumpMemoryAsText(state_, view_, link_);
    ArmSaveTimer();
  });
}

void TForm1::SpeedButton4Click() {
  RunHandler([this] { ReadHeaderWord(state_, view_, link_); });
}

void TForm1::SpeedButton11Click() {
  RunHandler([this] {
    QDir::setCurrent(env_.programFolder);
    RegisterDevice(view_, link_, env_);
  });
}

void TForm1::Button1Click() {
  RunHandler([this] { ResetDeviceNetwork(view_, link_); });
}
