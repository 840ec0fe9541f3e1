// The five-character engineering form of a number that the history keeps in
// its value cells and the search compares against: four significant digits
// with the decimal separator placed so that the exponent is a multiple of 3,
// e.g. 12.35, 1.235e3, 500.0e-3. Magnitudes only: the sign is dropped; values
// of 1.7e38 and above (the meter's over-range) read "Over".
#pragma once

#include <QString>

#include <string>

namespace qv {

// With the given decimal separator (a Windows-1250 byte).
std::string CompactNumberText(double x, char decimalSeparator);
// With the system decimal separator of formatSettings().
QString CompactNumberText(double x);

} // namespace qv
