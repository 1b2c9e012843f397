#include "operations/ServiceTools.h"

#include <QScopeGuard>

#include "core/Win1250.h"
#include "link/MemoryTools.h"
#include "link/RegistrationList.h"
#include "operations/Presenter.h"

namespace {

QString FirstAddress(const WindowModel& view) {
  return FromWin1250(view.addressEdits[0]);
}

// Runs a tool and shows what it did, also when it ended in an error.
template <class Tool>
void RunTool(WindowModel& view, Tool&& tool) {
  ToolResult result;
  const auto present = qScopeGuard([&] { PresentToolResult(result, view); });
  tool(result);
}

}  // namespace

void DumpMemoryAsDecimal(SharedState& state, WindowModel& view, DeviceLink& link) {
  link.host = FirstAddress(view);
  RunTool(view, [&](ToolResult& result) {
    RunDecimalDump(state, link, {view.eeAddrEdit, view.blockCountEdit}, result);
  });
}

void DumpMemoryAsText(SharedState& state, WindowModel& view, DeviceLink& link) {
  link.host = FirstAddress(view);
  RunTool(view, [&](ToolResult& result) {
    RunTextDump(state, link, {view.eeAddrEdit, view.blockCountEdit}, result);
  });
}

void ReadHeaderWord(SharedState& state, WindowModel& view, DeviceLink& link) {
  RunTool(view, [&](ToolResult& result) { RunHeaderWordRead(state, link, result); });
}

void ResetDeviceNetwork(WindowModel& view, DeviceLink& link) {
  link.host = FirstAddress(view);
  RunTool(view, [&](ToolResult& result) { RunNetworkReset(link, result); });
}

void RegisterDevice(WindowModel& view, DeviceLink& link, const Environment& env) {
  RegistrationResult result;
  const auto present = qScopeGuard([&] { PresentRegistration(result, view); });
  RegisterIdentity(link, env, FirstAddress(view), result);
}
