#pragma once

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class TForm3;
}

// The settings editor: cfg.ini as plain text. "Mentés" writes the text to cfg.ini and has the main
// window apply it at once.
class TForm3 : public QWidget {
  Q_OBJECT
 public:
  // saveAndApply receives the edited text as Windows-1250 bytes.
  TForm3(std::function<void(const QByteArray&)> saveAndApply, QWidget* parent = nullptr);
  ~TForm3() override;

  // Shows the editor centred on `owner`.
  void ShowCentredOn(const QWidget* owner);
  // Replaces the edited text by the given cfg.ini content.
  void SetSettingsText(const QByteArray& settingsText);
  Ui::TForm3& Controls() { return *ui_; }
  void Button1Click();

 private:
  std::unique_ptr<Ui::TForm3> ui_;
  std::function<void(const QByteArray&)> saveAndApply_;
};
