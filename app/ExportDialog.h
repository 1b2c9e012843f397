#pragma once

#include <QString>

class QWidget;

// The file dialog of "Exportálás...": an xlsx workbook or a CSV file, the type chosen in the dialog
// deciding the extension, offered under `suggestedName`. The chosen path, empty when cancelled.
QString ChooseExportFile(QWidget* parent, const QString& suggestedName);
