#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <functional>

// A label that acts as a web link: while the mouse is over it, it shows ColorOver as background and
// FontOver as font; leaving restores exactly the look it had; a click opens URL in the browser.
class TLinkLabel : public QLabel {
  Q_OBJECT
 public:
  explicit TLinkLabel(QWidget* parent = nullptr);

  QColor ColorOver() const { return colorOver_; }
  void SetColorOver(const QColor& colour) { colorOver_ = colour; }
  QFont FontOver() const { return fontOver_; }
  // Copies the given font's attributes; the colour is the text colour while the mouse is over.
  void SetFontOver(const QFont& font, const QColor& colour = Qt::blue) {
    fontOver_ = font;
    fontOverColour_ = colour;
  }
  QColor FontOverColour() const { return fontOverColour_; }
  QString URL() const { return url_; }
  void SetURL(const QString& url) { url_ = url; }

  // How the URL is opened; the system's browser unless replaced (tests).
  void SetUrlOpener(std::function<void(const QString&)> opener) { opener_ = std::move(opener); }

 signals:
  void Clicked();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QColor colorOver_;
  QFont fontOver_;
  QString url_;
  QColor fontOverColour_ = Qt::blue;
  QPalette savedPalette_;
  QFont savedFont_;
  bool autoFillSaved_ = false;
  std::function<void(const QString&)> opener_;
};
