#pragma once

#include "core/SharedState.h"

// Bytes in one log block, the reply to a log block request.
constexpr int LogBlockSize = 512;

// Record position of the last byte of a record: its last field is decoded there and the line ends.
constexpr int LastFieldPosition = 99;

// Decodes the first 512 bytes of ReceiveBuffer, one log block, into OutputText, record by record:
// the record kind letter, the time stamp (year, month, day, hour, minute) and every value field by
// DecodeField, each followed by ";", a record closed by CR LF. Records run on across blocks:
// LinePosition (bytes of the current record placed so far) and CurrentRecordKind carry over from the
// previous block. A "w" record is written with CurrentRecordKind; an "x" record turns CurrentRecordKind
// to "b" for the rest of the readout; erased memory (0xFF) is written as "n". RecordLength must be set.
void DecodeLogBlock(SharedState& state, int fieldType, char systemDecimalSeparator);
