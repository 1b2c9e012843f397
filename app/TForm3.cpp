#include "TForm3.h"

#include "core/TextLines.h"
#include "core/Win1250.h"
#include "ui_TForm3.h"

TForm3::TForm3(std::function<void(const QByteArray&)> saveAndApply, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      ui_(new Ui::TForm3),
      saveAndApply_(std::move(saveAndApply)) {
  ui_->setupUi(this);
  QFont font(QStringLiteral("Arial Narrow"));
  font.setPixelSize(13);
  ui_->Memo1->setFont(font);
  connect(ui_->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

TForm3::~TForm3() = default;

void TForm3::ShowCentredOn(const QWidget* owner) {
  const QRect frame = owner->frameGeometry();
  move(frame.center() - QPoint(width() / 2, height() / 2));
  show();
  raise();
}

void TForm3::SetSettingsText(const QByteArray& settingsText) {
  TextLines lines;
  lines.SetText(settingsText);
  QString text = FromWin1250(lines.Text());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  ui_->Memo1->setPlainText(text);
}

void TForm3::Button1Click() {
  TextLines lines;
  lines.SetText(ToWin1250(ui_->Memo1->toPlainText()));
  saveAndApply_(lines.Text());
}
