#include "files/MeasurementFile.h"

// Placeholder until the measurement file writer lands.
QString AutomaticFileName(const QDateTime&, int) {
  return {};
}
QString SaveAutomaticMeasurementFile(const SharedState&, const Environment&) {
  return {};
}
