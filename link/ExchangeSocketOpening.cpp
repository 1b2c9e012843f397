#include "core/ProgramModule.h"
#include "link/ExchangeSocket.h"

// Defined when the program links the UDP exchange in (UdpExchangeSocket.cpp); the window loads it
// from its module instead.
extern "C" ExchangeSocket* ValdOpenExchangeSocket(const DeviceLink& link) __attribute__((weak));

std::unique_ptr<ExchangeSocket> OpenExchangeSocket(const DeviceLink& link) {
  using Open = ExchangeSocket* (*)(const DeviceLink&);
  static const Open open =
      ValdOpenExchangeSocket
          ? &ValdOpenExchangeSocket
          : reinterpret_cast<Open>(ProgramModuleFunction("vald-udp", "ValdOpenExchangeSocket"));
  return std::unique_ptr<ExchangeSocket>(open(link));
}
