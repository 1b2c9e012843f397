#pragma once

#include <QDateTime>
#include <random>
#include <string_view>

// What each value field of a device's records measures, one letter per field, in field order:
//   T temperature °C, H relative humidity %, A absolute humidity g/m³, C CO2 ppm, V VOC ppb,
//   L illuminance lux, I current mA, U voltage V, P particulate matter µg/m³, X an uncharted value,
//   W power, Y voltage and Z current in the tenths a power meter stores,
//   K contact state 0/1, R relay event (two numbers 0..3), B bell event code.
// Empty for an unknown device code.
std::string_view ChannelQuantities(int deviceCode);

// A plausible reading of a continuous quantity (not K, R or B) at a time of day: a daily curve with
// noise; channel shifts the curve a little so that channels of one device differ.
double QuantityReading(char quantity, int channel, const QDateTime& when, std::mt19937& random);
