#pragma once

#include <QStringList>
#include <memory>

#include "TF_Nev.h"
#include "TForm1.h"
#include "TForm3.h"
#include "support/TempFolder.h"

// A main window over a fresh program folder, with every modal box replaced by a recorder; with an About
// window and a settings editor of its own, unless the window is to make its own when asked for them.
struct Form1Fixture {
  TempFolder folder;
  Environment env;
  QStringList errors;
  QStringList warnings;
  QStringList messages;
  QString nextOpenFile;
  QString nextSaveFile;
  QString nextImageFile;
  QString suggestedImageName;
  QString nextExportFile;
  QString suggestedExportName;
  QStringList inputAnswers;  // answers of the input box, in order; when used up the box is cancelled
  QStringList inputPresets;
  std::optional<HistoryChoice> nextHistory;  // the history dialog's answer
  QStringList historyDevices;                // what the history dialog offered
  std::pair<QDate, QDate> historyPeriod;
  QList<QByteArray> limitsEdits;  // texts the limits dialog offers in turn: each refused one is checked
  QStringList limitsProblems;     // what the check said of the texts offered
  QByteArray limitsShown;         // the text the limits dialog opened with
  StatisticsTable statistics;     // what the statistics dialog showed
  QString nextReportFile;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<TF_Nev> about;
  std::unique_ptr<TForm3> editor;

  explicit Form1Fixture(const QByteArray& cfg = "", QSize screen = {1920, 1080}, bool withMarker = true,
                        char systemDecimalSeparator = '.', bool attachWindows = true) {
    env.programFolder = folder.Path();
    env.systemDecimalSeparator = systemDecimalSeparator;
    env.screenSize = screen;
    env.now = [] { return QDateTime(QDate(2023, 12, 3), QTime(14, 5)); };
    if (!cfg.isNull()) folder.Write("cfg.ini", cfg);
    if (withMarker) folder.Write("Tool7.dev", "");
    Form1Dialogs dialogs;
    dialogs.showError = [this](QWidget*, const QString& text) { errors << text; };
    dialogs.showWarning = [this](QWidget*, const QString& text) { warnings << text; };
    dialogs.showInformation = [this](QWidget*, const QString& text) { messages << text; };
    dialogs.chooseOpenFile = [this](QWidget*) { return nextOpenFile; };
    dialogs.chooseImageFile = [this](QWidget*, const QString& suggested) {
      suggestedImageName = suggested;
      return nextImageFile;
    };
    dialogs.chooseSaveFile = [this](QWidget*) { return nextSaveFile; };
    dialogs.chooseExportFile = [this](QWidget*, const QString& suggested) {
      suggestedExportName = suggested;
      return nextExportFile;
    };
    dialogs.inputBox = [this](QWidget*, const QString&, const QString&, const QString& preset) {
      inputPresets << preset;
      return inputAnswers.isEmpty() ? preset : inputAnswers.takeFirst();
    };
    dialogs.chooseHistory = [this](QWidget*, const QStringList& devices, QDate from, QDate to) {
      historyDevices = devices;
      historyPeriod = {from, to};
      return nextHistory;
    };
    // The limits dialog offers its texts until the check takes one; cancelled when they are used up.
    dialogs.editLimits =
        [this](QWidget*, const QString&, const QByteArray& text,
               const std::function<QString(const QByteArray&)>& check) -> std::optional<QByteArray> {
      limitsShown = text;
      while (!limitsEdits.isEmpty()) {
        const QByteArray edited = limitsEdits.takeFirst();
        const QString problem = check(edited);
        limitsProblems << problem;
        if (problem.isEmpty()) return edited;
      }
      return std::nullopt;
    };
    dialogs.showStatistics = [this](QWidget*, const StatisticsTable& table) { statistics = table; };
    dialogs.chooseReportFile = [this](QWidget*, const QString&) { return nextReportFile; };
    form = std::make_unique<TForm1>(env, dialogs);
    if (!attachWindows) return;
    about = std::make_unique<TF_Nev>(form->windowTitle());
    TForm1* f = form.get();
    editor = std::make_unique<TForm3>([f](const QByteArray& text) { f->SaveSettingsFromEditor(text); });
    form->AttachWindows(about.get(), editor.get());
  }
  // A measurement file of an hour, a line a minute from 14:00 with `values`, offered to the next "Megnyitás".
  void OfferHourLog(const QString& fileName, const QByteArray& values) {
    QByteArray log;
    for (int minute = 0; minute < 60; ++minute) {
      log += "2023;12;03;14;" + QByteArray::number(minute).rightJustified(2, '0') + ";" + values + "\r\n";
    }
    folder.Write(fileName, log);
    nextOpenFile = folder.File(fileName);
  }

  ~Form1Fixture() {
    // Closing would write cfg.ini into the folder being removed; the tests that close do so themselves.
    form->hide();
  }
};
