#include "StatisticsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

StatisticsDialog::StatisticsDialog(const StatisticsTable& table, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(int(table.rows.size()), int(table.header.size()), this)) {
  setWindowTitle(tr("Napi statisztika"));
  auto* layout = new QVBoxLayout(this);
  table_->setHorizontalHeaderLabels(table.header);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  for (qsizetype row = 0; row < table.rows.size(); ++row) {
    for (qsizetype column = 0; column < table.rows[row].size(); ++column)
      table_->setItem(int(row), int(column), new QTableWidgetItem(table.rows[row][column]));
  }
  table_->resizeColumnsToContents();
  layout->addWidget(table_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(760, 480);
}

void ShowStatistics(QWidget* parent, const StatisticsTable& table) {
  StatisticsDialog dialog(table, parent);
  dialog.exec();
}
