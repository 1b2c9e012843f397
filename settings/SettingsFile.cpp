#include "settings/SettingsFile.h"

#include "core/IntegerText.h"

int SettingLineIndex(const TextLines& settings, const QByteArray& key) {
  for (int i = 0; i < settings.Count(); ++i) {
    const QByteArray& line = settings.Lines()[i];
    const qsizetype equals = line.indexOf('=');
    if (equals >= 0 && line.first(equals).compare(key, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

std::optional<QByteArray> ReadSetting(const TextLines& settings, const QByteArray& key) {
  const int index = SettingLineIndex(settings, key);
  if (index < 0) return std::nullopt;
  const QByteArray& line = settings.Lines()[index];
  QByteArray value = line.mid(line.indexOf('=') + 1);
  if (value.isEmpty()) return std::nullopt;
  return value;
}

void WriteSetting(TextLines& settings, const QByteArray& key, const QByteArray& value) {
  const int index = SettingLineIndex(settings, key);
  if (value.isEmpty()) {
    if (index >= 0) settings.Delete(index);
  } else if (index >= 0) {
    settings.Put(index, key + '=' + value);
  } else {
    settings.Add(key + '=' + value);
  }
}

std::optional<int> ReadIntegerSetting(const TextLines& settings, const QByteArray& key) {
  const std::optional<QByteArray> value = ReadSetting(settings, key);
  if (!value) return std::nullopt;
  return ParseInteger(*value);
}
