#include "core/ProgramModule.h"
#include "link/ExchangeSocket.h"

// Defined when the program links the UDP exchange in (UdpExchangeSocket.cpp); the window loads it
// from its module instead.
extern "C" ExchangeSocket* ValdOpenExchangeSocket(const DeviceLink& link) __attribute__((weak));

std::unique_ptr<ExchangeSocket> OpenExchangeSocket(const DeviceLink& link) {
  static const auto open =
      LinkedOrModuleFunction(ValdOpenExchangeSocket, "vald-udp", "ValdOpenExchangeSocket");
  return std::unique_ptr<ExchangeSocket>(open(link));
}
