#pragma once

// Where the log header lies in device memory, and where in it the signed 32-bit little-endian header
// word begins (shown by "Read word").
constexpr int HeaderAddress = 4352;
constexpr int HeaderWordOffset = 20;
