#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QPlainTextEdit;

// "Határértékek": the limits file as text, with the rules of its lines above it. "Mentés" takes the
// text only when the check finds nothing wrong; what is wrong, with its line, is shown instead.
class LimitsDialog : public QDialog {
  Q_OBJECT
 public:
  LimitsDialog(const QString& path, const QByteArray& text, std::function<QString(const QByteArray&)> check,
               QWidget* parent = nullptr);

  QByteArray Text() const;
  QPlainTextEdit* Editor() const { return editor_; }
  // What the check found in the last text offered, empty when it was taken.
  const QString& Problem() const { return problem_; }
  // "Mentés": the text checked, then taken or refused.
  void Save();

 private:
  QPlainTextEdit* editor_;
  std::function<QString(const QByteArray&)> check_;
  QString problem_;
};

// The dialog run modally: the text taken, or nothing when cancelled.
std::optional<QByteArray> EditLimits(QWidget* parent, const QString& path, const QByteArray& text,
                                     const std::function<QString(const QByteArray&)>& check);
