#pragma once

#include <QDateTime>
#include <random>

#include "decode/DeviceCatalogue.h"

// What a value field of a device's records measures, from its catalogue row: the quantity letter of the
// field's first column, X beyond the row's columns.
char FieldQuantity(const DeviceType& type, int field);

// A plausible reading of a continuous quantity (not K, R or B) at a time of day: its daily curve with
// noise; channel shifts the curve a little so that channels of one device differ.
double QuantityReading(char quantity, int channel, const QDateTime& when, std::mt19937& random);
