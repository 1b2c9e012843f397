#include "Form1Dialogs.h"

#include "LimitsDialog.h"
#include "StatisticsDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QMessageBox>
#include "ExportDialog.h"

namespace {

// Both file dialogs open in the working directory, default to the "csv" extension and are resizable.
QString ChooseFile(QWidget* parent, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, QString(), QDir::currentPath(),
                     QCoreApplication::translate("Form1Dialogs", "Project Fájl (*.csv)"));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

// The file type chosen in the dialog decides the picture's format.
QString ChooseImageFile(QWidget* parent, const QString& suggestedName) {
  const QString png = QCoreApplication::translate("Form1Dialogs", "PNG kép (*.png)");
  const QString pdf = QCoreApplication::translate("Form1Dialogs", "PDF dokumentum (*.pdf)");
  QFileDialog dialog(parent, QString(), QDir::currentPath(), png + QStringLiteral(";;") + pdf);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("png"));
  dialog.selectFile(suggestedName);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, pdf](const QString& filter) {
    dialog.setDefaultSuffix(filter == pdf ? QStringLiteral("pdf") : QStringLiteral("png"));
  });
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

QString ChooseReportFile(QWidget* parent, const QString& suggestedName) {
  QFileDialog dialog(parent, QString(), QDir::currentPath(),
                     QCoreApplication::translate("Form1Dialogs", "PDF dokumentum (*.pdf)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  dialog.selectFile(suggestedName);
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}

QDateEdit* DateEdit(QWidget* parent, QDate date) {
  auto* edit = new QDateEdit(date, parent);
  edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  edit->setCalendarPopup(true);
  return edit;
}

std::optional<HistoryChoice> ChooseHistory(QWidget* parent, const QStringList& devices, QDate from,
                                           QDate to) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QCoreApplication::translate("Form1Dialogs", "Előzmények"));
  auto* layout = new QFormLayout(&dialog);
  auto* device = new QComboBox(&dialog);
  device->addItems(devices);
  QDateEdit* fromEdit = DateEdit(&dialog, from);
  QDateEdit* toEdit = DateEdit(&dialog, to);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addRow(QCoreApplication::translate("Form1Dialogs", "Eszköz:"), device);
  layout->addRow(QCoreApplication::translate("Form1Dialogs", "Kezdete:"), fromEdit);
  layout->addRow(QCoreApplication::translate("Form1Dialogs", "Vége:"), toEdit);
  layout->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted || device->currentText().isEmpty()) return std::nullopt;
  return HistoryChoice{device->currentText(), fromEdit->date(), toEdit->date()};
}

}  // namespace

Form1Dialogs Form1Dialogs::Real() {
  Form1Dialogs dialogs;
  dialogs.showError = [](QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), text);
  };
  dialogs.showWarning = [](QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QApplication::applicationDisplayName(), text);
  };
  dialogs.showInformation = [](QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
  };
  dialogs.chooseImageFile = ChooseImageFile;
  dialogs.chooseExportFile = ChooseExportFile;
  dialogs.chooseOpenFile = [](QWidget* parent) { return ChooseFile(parent, QFileDialog::AcceptOpen); };
  dialogs.chooseSaveFile = [](QWidget* parent) { return ChooseFile(parent, QFileDialog::AcceptSave); };
  dialogs.inputBox = [](QWidget* parent, const QString& caption, const QString& prompt,
                        const QString& preset) {
    bool accepted = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, preset, &accepted);
    return accepted ? text : preset;
  };
  dialogs.chooseHistory = ChooseHistory;
  dialogs.editLimits = EditLimits;
  dialogs.showStatistics = ShowStatistics;
  dialogs.chooseReportFile = ChooseReportFile;
  return dialogs;
}
