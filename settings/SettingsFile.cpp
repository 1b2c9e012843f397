#include "settings/SettingsFile.h"

#include "core/IntegerText.h"

namespace {

// The text after the "=" of the key's line; nothing when the key has no line or an empty value.
std::optional<QByteArrayView> SettingValue(const TextLines& settings, QByteArrayView key) {
  const int index = SettingLineIndex(settings, key);
  if (index < 0) return std::nullopt;
  const QByteArrayView value = QByteArrayView(settings.Lines()[index]).sliced(key.size() + 1);
  if (value.isEmpty()) return std::nullopt;
  return value;
}

QByteArray SettingLine(QByteArrayView key, const QByteArray& value) {
  QByteArray line;
  line.reserve(key.size() + 1 + value.size());
  return line.append(key).append('=').append(value);
}

}  // namespace

// A key holds no "=", so the first "=" of a line of the key follows the key right away.
int SettingLineIndex(const TextLines& settings, QByteArrayView key) {
  int index = 0;
  for (const QByteArray& line : settings.Lines()) {
    if (line.size() > key.size() && line.constData()[key.size()] == '=' &&
        qstrnicmp(line.constData(), key.size(), key.data(), key.size()) == 0) {
      return index;
    }
    ++index;
  }
  return -1;
}

std::optional<QByteArray> ReadSetting(const TextLines& settings, QByteArrayView key) {
  const std::optional<QByteArrayView> value = SettingValue(settings, key);
  if (!value) return std::nullopt;
  return value->toByteArray();
}

void WriteSetting(TextLines& settings, QByteArrayView key, const QByteArray& value) {
  const int index = SettingLineIndex(settings, key);
  if (value.isEmpty()) {
    if (index >= 0) settings.Delete(index);
  } else if (index >= 0) {
    settings.Put(index, SettingLine(key, value));
  } else {
    settings.Add(SettingLine(key, value));
  }
}

std::optional<int> ReadIntegerSetting(const TextLines& settings, QByteArrayView key) {
  const std::optional<QByteArrayView> value = SettingValue(settings, key);
  if (!value) return std::nullopt;
  return ParseInteger(*value);
}
