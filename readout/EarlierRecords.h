#pragma once

#include <QByteArray>
#include <vector>

#include "core/LogRecord.h"
#include "decode/DeviceCatalogue.h"

// Which records of `log` (a readout's records in ring order) the log of `earlierImage` (the raw image of
// the device's earlier readout, header and blocks, of the same device type) holds as well, in the same
// order with the same time stamps and values: one flag per record, set for the run of records from the
// oldest on that the earlier log holds one after another. The archive took every record of the earlier
// image when it kept it, so these need no comparing with the archive.
std::vector<bool> RecordsInEarlierImage(const RecordLog& log, const QByteArray& earlierImage,
                                        const DeviceType& type);
