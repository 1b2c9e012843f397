#include "TF_Nev.h"

#include <QFile>

#include "JpegImage.h"
#include "ui_TF_Nev.h"
#include "views/MakerTexts.h"

namespace {

QFont PixelFont(const QString& family, int pixels, bool bold = false, bool underline = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setUnderline(underline);
  return font;
}

QImage AboutPicture() {
  QFile file(QStringLiteral(":/about.jpg"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return DecodeJpeg(file.readAll());
}

}  // namespace

TF_Nev::TF_Nev(const QString& mainWindowCaption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      ui_(new Ui::TF_Nev) {
  Q_INIT_RESOURCE(resources);
  ui_->setupUi(this);
  setFixedSize(558, 378);
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
  ui_->Label2->setFont(PixelFont(QStringLiteral("Times New Roman"), 23, true));
  ui_->Label5->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
  ui_->Image1->setPixmap(QPixmap::fromImage(AboutPicture()));
  ui_->Label2->setText(QString::fromLatin1(MakerName));
  ui_->Label6->setText(QString::fromLatin1(MakerNameMixedCase));
  ui_->Label4->setText(QString::fromLatin1(MakerEmail));
  ui_->LinkLabel1->setText(QString::fromLatin1(MakerWebAddress));
  ui_->LinkLabel1->setToolTip(QString::fromLatin1(MakerUrl));
  ui_->LinkLabel1->SetURL(QString::fromLatin1(MakerUrl));
  ui_->LinkLabel1->SetColorOver(palette().color(QPalette::Button));
  ui_->LinkLabel1->SetFontOver(PixelFont(QStringLiteral("MS Sans Serif"), 11, false, true), Qt::blue);
  ui_->Label3->setText(mainWindowCaption);
  connect(ui_->Button1, &QPushButton::clicked, this, &QDialog::hide);
}

TF_Nev::~TF_Nev() = default;
