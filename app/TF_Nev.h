#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TF_Nev;
}

// The About window: the maker's picture, name and addresses, and the program's caption.
class TF_Nev : public QDialog {
  Q_OBJECT
 public:
  // The creation step copies the main window's caption into the version line.
  explicit TF_Nev(const QString& mainWindowCaption, QWidget* parent = nullptr);
  ~TF_Nev() override;

  Ui::TF_Nev& Controls() { return *ui_; }

 private:
  std::unique_ptr<Ui::TF_Nev> ui_;
};
