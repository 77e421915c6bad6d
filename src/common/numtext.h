#pragma once

#include <QChar>
#include <QString>

namespace voltaris {

// Fixed-point text of x: rounded to at most `precision` significant digits and
// at most `digits` decimals, whichever keeps fewer; ties away from zero, judged
// on the value's decimal expansion to 18 significant digits; written with
// exactly `digits` decimals, `separator`, no thousands separator, a minus sign
// where the rounded value is negative (never "-0,00"). precision is 1..18,
// digits 0..18. A value with more digits before the separator than
// `precision` is written in exponent form: d,ddddddddE+NN with precision-1
// decimals in the mantissa and at least two exponent digits
// (1234567890 with precision 8 gives "1,2345679E+09"). Infinities and NaN are
// written "INF", "-INF", "NAN". With digits 0 no separator is written. The
// 18-digit expansion itself is rounded half away from zero from the exact
// binary value. precision and digits outside their ranges are clamped.
QString formatFixed(long double x, int precision, int digits, QChar separator);

// The main window's number text: precision 8, 2 decimals.
inline QString formatValue(long double x, QChar separator)
{
    return formatFixed(x, 8, 2, separator);
}

// Text to number. Leading and trailing blanks are ignored; then an optional
// sign, digits, an optional `separator` followed by digits, an optional
// exponent (E or e, optional sign, digits). At least one digit or the
// separator must be present (a lone separator is 0). Any other text, the empty
// one included, fails. Blanks are spaces (U+0020) only; digits are ASCII. The
// result is the nearest extended value; a value beyond the extended range
// fails, one too small for the smallest denormal gives 0. On failure `value` is
// left unchanged.
bool tryStrToFloat(const QString &text, QChar separator, long double &value);
// As tryStrToFloat; failure throws EConvertError
// "'<text>' is not a valid floating point value".
long double strToFloat(const QString &text, QChar separator);

// Whole numbers (32-bit signed): optional leading blanks, optional sign,
// decimal digits, nothing after them; a value outside the 32-bit range fails.
bool tryStrToInt(const QString &text, int &value);
// Failure throws EConvertError "'<text>' is not a valid integer value".
int strToInt(const QString &text);

// Checked extended arithmetic: a / b throws EZeroDivide for b == 0 and a != 0,
// EInvalidOp for 0 / 0 and for a NaN operand or result (inf / inf), EOverflow
// for an infinite result.
long double divide(long double a, long double b);
// Throws EOverflow when x is infinite, EInvalidOp when it is NaN; else x.
long double checked(long double x);

} // namespace voltaris
