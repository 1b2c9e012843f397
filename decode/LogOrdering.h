#pragma once

#include "core/SharedState.h"
#include "core/TextLines.h"

// Puts the decoded records of a ring log into time order. The records after the ring's turn ("b",
// in memory order) come first, then those before it ("a"); both groups are taken only from above the
// first end record ("e" or "f"), and an "f" end leaves out the "b" group. Every other line ("x", "n",
// empty) is dropped. The kind letter and its ";" are removed from the lines taken.
TextLines OrderLogLines(const TextLines& decodedLines);

// Cuts OutputText into DecodedLines (up to its first zero byte, with a closing CR LF, so a text that
// ends with a complete record gives a final empty line) and orders them into LogLines.
void SortDecodedRecords(SharedState& state);
