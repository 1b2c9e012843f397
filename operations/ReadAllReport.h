#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "operations/Readout.h"
#include "readout/ReadoutSteps.h"

// How the readout of one address of "Összes lekérdezése" ended.
struct AddressReadout {
  QString host;
  ReadoutResult result;
  ReadoutOutcome kept;
  QString error;  // the error that ended it; empty when it ran to its end
};

// The closing message of "Összes lekérdezése": each address with the name of its measurement file or
// the reason it has none (no reply, no device, an error), an incomplete log with its missed blocks;
// the addresses a cancel left unread last.
QString ReadAllReport(const QList<AddressReadout>& readouts, const QStringList& notRead);
