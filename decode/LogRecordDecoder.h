#pragma once

#include <QByteArray>
#include <cstdint>
#include <span>

#include "decode/FieldCodec.h"

// Bytes in one log block, the reply to a log block request.
constexpr int LogBlockSize = 512;

// Record position of the last byte of a record: its last field is decoded there and the line ends.
constexpr int LastFieldPosition = 99;

// Where the decoding of a log stands between two blocks: records run on across blocks.
struct RecordCursor {
  int32_t linePosition = 0;      // bytes of the current record placed so far (LinePosition)
  char currentRecordKind = 'a';  // the kind "w" records are written with (CurrentRecordKind)
  int32_t recordLength = 0;      // the device type's RecordLength; must be set
};

// Decodes one log block (512 bytes in a readout) into `out`, record by record: the record kind letter,
// the time stamp (year, month, day, hour, minute) and every value field by DecodeField, each followed by
// ";", a record closed by CR LF. The cursor carries the record position and kind from the previous
// block to the next. A "w" record is written with currentRecordKind; an "x" record turns
// currentRecordKind to "b" for the rest of the readout; erased memory (0xFF) is written as "n".
void DecodeLogBlock(std::span<const uint8_t> block, RecordCursor& cursor, const FieldFormat& format,
                    QByteArray& out);
