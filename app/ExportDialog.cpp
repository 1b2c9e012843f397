#include "ExportDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>

QString ChooseExportFile(QWidget* parent, const QString& suggestedName) {
  const QString workbook = QCoreApplication::translate("Form1Dialogs", "Excel munkafüzet (*.xlsx)");
  const QString csv = QCoreApplication::translate("Form1Dialogs", "CSV, UTF-8 (*.csv)");
  QFileDialog dialog(parent, QString(), QDir::currentPath(), workbook + QStringLiteral(";;") + csv);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("xlsx"));
  dialog.selectFile(suggestedName);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, csv](const QString& filter) {
    dialog.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
  });
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  return dialog.selectedFiles().first();
}
