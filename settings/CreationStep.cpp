#include "settings/CreationStep.h"

#include <QFileInfo>

#include "core/Win1250.h"
#include "settings/Settings.h"

QStringList RunCreationStep(SharedState& state, WindowModel& view, DeviceLink& link, const Environment& env) {
  state.RecreateLists();
  QStringList notices = LoadAndApplySettings(state, view, link, env);
  static const QByteArray DesignDeviceName = ToWin1250(QStringLiteral("Eszköz neve"));
  view.labelDevice = DesignDeviceName;
  view.developerPageVisible = QFileInfo::exists(env.ProgramFile(DeveloperMarkerFileName));
  return notices;
}
