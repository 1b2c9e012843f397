#pragma once

#include <QByteArray>
#include <vector>

// Which records of a log in ring order, decoded from `image` (a complete raw image: the header's block,
// then the log), the log of `earlierImage` (the device's earlier image, of the same device type and
// record length) holds as well: the same bytes at the same place in memory, in the same order from the
// log's oldest record on. One flag per record; set for the run of records from the oldest on that the
// earlier log holds one after another. The archive took every record of the earlier image when it kept
// it, so these need no comparing with the archive.
std::vector<bool> RecordsInEarlierImage(const QByteArray& image, const QByteArray& earlierImage,
                                        int recordLength);
