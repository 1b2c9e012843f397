#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "export/StatisticsTable.h"

class QWidget;

// A device and a period, both days included, for "Előzmények...".
struct HistoryChoice {
  QString device;
  QDate from;
  QDate to;
};

// The modal boxes the main window's handlers use. The defaults are the real dialogs; tests replace them.
struct Form1Dialogs {
  // An error that ended a handler, or a warning after it, with the text the user reads.
  std::function<void(QWidget* parent, const QString& text)> showError;
  std::function<void(QWidget* parent, const QString& text)> showWarning;
  // A closing message that is neither an error nor a warning.
  std::function<void(QWidget* parent, const QString& text)> showInformation;
  // The chosen file's full path, empty when cancelled.
  std::function<QString(QWidget* parent)> chooseOpenFile;
  std::function<QString(QWidget* parent)> chooseSaveFile;
  // The picture file chosen for a chart, PNG or PDF, offered under `suggestedName`; empty when cancelled.
  std::function<QString(QWidget* parent, const QString& suggestedName)> chooseImageFile;
  // The xlsx or CSV file chosen for "Exportálás...", offered under `suggestedName`; empty when cancelled.
  std::function<QString(QWidget* parent, const QString& suggestedName)> chooseExportFile;
  // The text input box: the entered text, or the preset text when cancelled.
  std::function<QString(QWidget* parent, const QString& caption, const QString& prompt,
                        const QString& preset)>
      inputBox;
  // The archived device and period to show, offered with `from` and `to` preset; nothing when cancelled.
  std::function<std::optional<HistoryChoice>(QWidget* parent, const QStringList& devices, QDate from,
                                             QDate to)>
      chooseHistory;

  // "Határértékek...": the limits file's text edited; `check` says what is wrong with a text (empty
  // when nothing), and a text it refuses is not taken. The edited text, or nothing when cancelled.
  std::function<std::optional<QByteArray>(QWidget* parent, const QString& path, const QByteArray& text,
                                          const std::function<QString(const QByteArray&)>& check)>
      editLimits;
  // "Statisztika...": the daily statistics of the shown log.
  std::function<void(QWidget* parent, const StatisticsTable& table)> showStatistics;
  // "Jelentés...": the PDF file chosen for the report, offered under `suggestedName`; empty when cancelled.
  std::function<QString(QWidget* parent, const QString& suggestedName)> chooseReportFile;

  static Form1Dialogs Real();
};
