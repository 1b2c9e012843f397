#pragma once

#include <QDateTime>
#include <random>
#include <vector>

#include "decode/DeviceCatalogue.h"

// What a value field of a device's records measures, from its catalogue row: the quantity letter of the
// field's first column, X beyond the row's columns.
char FieldQuantity(const DeviceType& type, int field);

// A plausible reading of a continuous quantity (not K, R or B) at a time of day: its daily curve with
// noise; channel shifts the curve a little so that channels of one device differ.
double QuantityReading(char quantity, int channel, const QDateTime& when, std::mt19937& random);

// An energy meter's power is what its voltage and current give: the nth power field becomes the product
// of the nth voltage and the nth current field (a phase each), in the power column's unit. `readings`
// are the record's field values as the columns show them; a device without both stays as it is.
void PowerOfVoltageAndCurrent(const DeviceType& type, std::vector<double>& readings);
