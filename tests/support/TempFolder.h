#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh, empty program folder for one test, removed afterwards.
class TempFolder {
 public:
  TempFolder();
  QString Path() const { return dir_.path(); }
  QString File(const QString& name) const { return dir_.filePath(name); }
  void Write(const QString& name, const QByteArray& content) const;
  QByteArray Read(const QString& name) const;
  bool Exists(const QString& name) const;

 private:
  QTemporaryDir dir_;
};
