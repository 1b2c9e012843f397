#pragma once

#include <cstdint>
#include <span>

// The parsers' fuzz targets. Each takes any bytes, runs them through the program's own code the way
// a device reply, a file or a setting would reach it, and aborts when a property that must hold for
// every input is broken. Expected user errors (ValdError) end a run normally. They work in memory
// only: the code between a socket or a file and these bytes copies them whole, and the libFuzzer
// harnesses need tens of thousands of inputs a second to get deep.
//
// The same functions serve the libFuzzer harnesses (FuzzEntry.cpp) and the corpus replay that the
// normal test run performs (ReplayMain.cpp).

// Byte 0: DeviceCode, byte 1: ChipCode (the header reply), byte 2: decimal separators (bit 0: the
// system's is ","; bits 1-2: the DecimalSeparator setting ",", "." or none); the rest: the log memory,
// cut into 512-byte block replies. Blocks the input does not reach decode as zero bytes, as a block
// without a reply does; decoding stops where the decoded lines end.
void FuzzLogBlocks(std::span<const uint8_t> data);

// Byte 0: the DeviceCode a readout left, byte 1: ChipCode, byte 2: bit 0 the system's decimal separator
// is ","; the other bits choose the file's name: 0 a name without a type name (the DeviceCode stays),
// n a name with the type name of row n - 1 of the device type table; the rest: the file's content.
void FuzzMeasurementFile(std::span<const uint8_t> data);

// Byte 0: bit 0 the system's decimal separator is ","; the rest: cfg.ini.
void FuzzSettings(std::span<const uint8_t> data);

// Byte 0: length n of the identity reply, then n bytes of reply (fewer when the input ends); the
// rest: sales.csv.
void FuzzRegistrationList(std::span<const uint8_t> data);
