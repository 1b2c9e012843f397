#include "TLinkLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

TLinkLabel::TLinkLabel(QWidget* parent)
    : QLabel(parent),
      colorOver_(palette().color(QPalette::Button)),
      opener_([](const QString& url) { QDesktopServices::openUrl(QUrl(url)); }) {
  fontOver_.setUnderline(true);
  setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::enterEvent(QEnterEvent* event) {
  // The label's look is its font plus its palette (background and text colour): keep both whole.
  savedPalette_ = palette();
  savedFont_ = font();
  autoFillSaved_ = autoFillBackground();
  QPalette over = palette();
  over.setColor(backgroundRole(), colorOver_);
  over.setColor(foregroundRole(), fontOverColour_);
  setAutoFillBackground(true);
  setPalette(over);
  setFont(fontOver_);
  QLabel::enterEvent(event);
}

void TLinkLabel::leaveEvent(QEvent* event) {
  setPalette(savedPalette_);
  setAutoFillBackground(autoFillSaved_);
  setFont(savedFont_);
  QLabel::leaveEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
  emit Clicked();
  if (!url_.isEmpty()) opener_(url_);
}
