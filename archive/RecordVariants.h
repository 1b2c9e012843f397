#pragma once

#include <vector>

#include "archive/ArchivedLine.h"

// A device's records of one local time and pass whose values differ are told apart by their variant:
// 0 for the first archived, then 1, 2, ... in the order they were archived.

// An archived record as a merge compares the new ones with it.
struct ArchivedVariant {
  qint64 time = 0;
  bool secondPass = false;
  int variant = 0;
  bool fromReadout = false;  // not imported
  QByteArray line;           // the line the archive keeps for it, if any
  ArchivedLine::Values values;
};

// The columns an ArchivedVariant is read from, in its order.
QString VariantColumns();

// A record to add, and the variant it takes.
struct FreshRecord {
  size_t index = 0;  // into the records handed over
  int variant = 0;
};

// A record as it goes into the archive.
struct VariantRow {
  const ArchivedLine* record = nullptr;
  int variant = 0;
};

// Which of `records` are not among `archived` (the device's records in their time span, in any order),
// in the order of the archive's key, each once: of the same record twice the one earlier in `records`.
std::vector<FreshRecord> FreshRecords(const std::vector<const ArchivedLine*>& records,
                                      std::vector<ArchivedVariant> archived);
