#pragma once
#include <QString>
#include <QtGlobal>

// Rounds to the given number of decimal places; an exact half goes to the
// even neighbour (the value is scaled by 10^decimals first, as the results
// and the stopwatch expect: 0.005 scaled by 100 is exactly 0.5 and becomes 0).
double rundeGerade(double value, int decimals = 0);

// Whole-number conversions with half-even rounding. They fail (return false,
// out unchanged) when the value is out of the type's range or not finite.
bool toInt16(double value, qint16& out);
bool toInt32(double value, qint32& out);
// The same, but clamped to the type's range instead of failing.
qint16 toInt16Clamped(double value);

// A number as the user sees it: shortest decimal form with at most 15
// significant digits, no trailing zeros, the locale's decimal separator.
QString zahlText(double value);
