#pragma once

#include <QString>
#include <exception>

// The one error type of the program. Its message is exactly what the user reads in the message box
// (e.g. "List index out of bounds (7)"). An error ends the handler that raised it; partial effects stay.
class ValdError : public std::exception {
 public:
  explicit ValdError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
  const QString& Message() const { return message_; }
  const char* what() const noexcept override { return utf8_.constData(); }

 private:
  QString message_;
  QByteArray utf8_;
};
