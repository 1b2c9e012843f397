#include "views/ViewTexts.h"

#include <QCoreApplication>
#include <mutex>
#include <unordered_map>

#include "core/Win1250.h"

const QByteArray& Win1250Text(const char* utf8Literal) {
  static std::mutex guard;
  static std::unordered_map<const char*, QByteArray> converted;
  const std::lock_guard lock(guard);
  auto [it, inserted] = converted.try_emplace(utf8Literal);
  if (inserted) it->second = ToWin1250(QString::fromUtf8(utf8Literal));
  return it->second;
}

QByteArray WindowText(const char* utf8Source) {
  return ToWin1250(QCoreApplication::translate("WindowModel", utf8Source));
}
