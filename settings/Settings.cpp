#include "settings/Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

#include "core/BoundedFile.h"
#include "core/EditedTextFile.h"
#include "core/ValdError.h"
#include "settings/DecimalSeparatorRule.h"
#include "settings/SettingsFile.h"

namespace {

constexpr int WindowCoordinateLimit = (1 << 24) - 1;

std::optional<int> WindowCoordinate(const TextLines& settings, const char* key) {
  const std::optional<int> value = ReadIntegerSetting(settings, key);
  if (!value) return std::nullopt;
  return std::clamp(*value, -WindowCoordinateLimit, WindowCoordinateLimit);
}

QString RefusedSeparatorNotice(char refused, char used) {
  return QCoreApplication::translate(
             "Settings",
             "A cfg.ini DecimalSeparator értéke („%1”) nem lehet tizedesjel: pontosvessző, számjegy, előjel, "
             "idézőjel vagy vezérlőkarakter elrontaná a mérési fájlokat. Helyette a rendszer tizedesjele "
             "(„%2”) érvényes.")
      .arg(SeparatorForMessage(refused), SeparatorForMessage(used));
}

void ReadInOrder(const TextLines& settings, const QByteArray& currentDecimalSeparatorText,
                 char systemDecimalSeparator, SettingsValues& values) {
  if (const auto port = ReadIntegerSetting(settings, "UDPport")) {
    if (*port < 1 || *port > 65535) {
      throw ValdError(QStringLiteral("'%1' is not a valid UDP port").arg(*port));
    }
    values.udpPort = *port;
  }
  values.portRead = true;
  values.left = WindowCoordinate(settings, "Left");
  values.top = WindowCoordinate(settings, "Top");
  values.width = WindowCoordinate(settings, "Width");
  values.height = WindowCoordinate(settings, "Height");
  for (int i = 0; i < 5; ++i) values.addresses[i] = ReadSetting(settings, AddressKeys[i]);

  QByteArray separatorText = currentDecimalSeparatorText;
  if (const auto separator = ReadSetting(settings, "DecimalSeparator")) {
    // FieldType 1 values are written with the first character.
    if (IsUsableDecimalSeparator(separator->front())) {
      separatorText = *separator;
    } else {
      separatorText.clear();
      values.notices.append(RefusedSeparatorNotice(separator->front(), systemDecimalSeparator));
    }
  }
  // Without a configured separator the decoded values use the system's.
  if (separatorText.isEmpty()) separatorText = QByteArray(1, systemDecimalSeparator);
  values.decimalSeparatorText = separatorText;
  values.eeAddr = ReadSetting(settings, "eeaddr");

  for (int chart = 0; chart < 4; ++chart) {
    AxisSettings& axis = values.axes[chart];
    axis.top = ReadIntegerSetting(settings, AxisMaximumKeys[chart]);
    axis.bottom = ReadIntegerSetting(settings, AxisMinimumKeys[chart]);
    // A step below 1 would leave the controls unable to move.
    if (const auto increment = ReadIntegerSetting(settings, "Increment"))
      axis.increment = std::max(*increment, 1);
    axis.complete = true;
  }
}

}  // namespace

SettingsValues ReadSettingsValues(const TextLines& settings, const QByteArray& currentDecimalSeparatorText,
                                  char systemDecimalSeparator) {
  SettingsValues values;
  try {
    ReadInOrder(settings, currentDecimalSeparatorText, systemDecimalSeparator, values);
  } catch (const ValdError& error) {
    values.error = error.Message();
  }
  return values;
}

void StoreTimerSettings(TextLines& settings, const TimerSettings& values) {
  for (int i = 0; i < 5; ++i) WriteSetting(settings, AddressKeys[i], values.addresses[i]);
  WriteSetting(settings, "eeaddr", values.eeAddr);
  for (int page = 0; page < 4; ++page) {
    WriteSetting(settings, AxisMaximumKeys[page], QByteArray::number(values.axisMaxima[page]));
    WriteSetting(settings, AxisMinimumKeys[page], QByteArray::number(values.axisMinima[page]));
  }
  WriteSetting(settings, "Increment", QByteArray::number(values.increment));
}

void StoreGeometrySettings(TextLines& settings, int left, int top, int width, int height) {
  WriteSetting(settings, "Left", QByteArray::number(left));
  WriteSetting(settings, "Top", QByteArray::number(top));
  WriteSetting(settings, "Width", QByteArray::number(width));
  WriteSetting(settings, "Height", QByteArray::number(height));
}

void LoadSettingsFile(SharedState& state, const Environment& env) {
  const QString path = env.ProgramFile(SettingsFileName);
  // A refused line leaves the file's lines in memory as they are, so a save writes them back whole.
  state.SettingsLines = EditedFileLines(ReadWholeFile(path, MaxEditedFileBytes));
  CheckEditedLines(state.SettingsLines, path);
}

void SaveSettingsFile(const SharedState& state, const Environment& env) {
  const QString path = env.ProgramFile(SettingsFileName);
  // A cfg.ini too large to be read was refused at start with none of its lines in memory: the few
  // settings of the window written over it would lose the rest.
  if (QFileInfo(path).size() > MaxEditedFileBytes) return;
  state.SettingsLines.SaveToFile(path);
}
