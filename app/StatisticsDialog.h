#pragma once

#include <QDialog>

#include "export/StatisticsTable.h"

class QTableWidget;

// "Statisztika": the daily statistics of the shown log, a row per day and channel.
class StatisticsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit StatisticsDialog(const StatisticsTable& table, QWidget* parent = nullptr);

  QTableWidget* Table() const { return table_; }

 private:
  QTableWidget* table_;
};

void ShowStatistics(QWidget* parent, const StatisticsTable& table);
