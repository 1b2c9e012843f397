// The libFuzzer entry of one harness; the build names the target function in VALD_FUZZ_TARGET.

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  VALD_FUZZ_TARGET(std::span<const uint8_t>(data, size));
  return 0;
}
