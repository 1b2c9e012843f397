#pragma once

#include <QWidget>

class QToolButton;

// The small up/down arrow pair in a chart's corner. It holds no value of its own: the position, range
// and step live in the window model; a click only reports its direction.
class UpDownControl : public QWidget {
  Q_OBJECT
 public:
  explicit UpDownControl(QWidget* parent = nullptr);

 signals:
  void Clicked(bool up);

 private:
  QToolButton* up_;
  QToolButton* down_;
};
