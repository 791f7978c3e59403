#pragma once

#include <optional>
#include <string>
#include <string_view>

// The one module through which numbers become text and text becomes numbers.
// Every function takes the decimal separator; the windows read it once from the
// user's locale, the reports always use '.'.

// Exactly `decimals` digits after the separator ("0.00000" is FormatFixed(v, 5)),
// correctly rounded from the binary value (exact halves away from zero), at
// least one digit before the separator, no thousands separator. A value that
// rounds to zero is written without a minus sign.
std::string FormatFixed(double value, int decimals, char decimalSeparator = '.');

// At most `maxDecimals` digits ("0.###" is FormatUpTo(v, 3)): trailing zeros and
// a bare separator are dropped.
std::string FormatUpTo(double value, int maxDecimals, char decimalSeparator = '.');

// General form with up to 15 significant digits, as written back into edit
// fields and into messages: 0.02 -> "0.02", 6 -> "6", 980 -> "980";
// exponent form (1E-6, 1E15) outside 0.00001 <= |v| < 1E15.
std::string FormatGeneral(double value, char decimalSeparator = '.');

// Strict conversion: optional sign, digits with an optional separator and
// fraction, optional exponent (E or e, optional sign, digits). Nothing else:
// no blanks, "inf", "nan", hex, thousands separators, nor values that overflow.
std::optional<double> ParseNumber(std::string_view text, char decimalSeparator = '.');

// ParseNumber with the user's decimal separator and, failing that, with '.':
// what a user types into a number field or finds in a record file. '.' is the
// separator of almost every record file in circulation, of comma-delimited ones
// always, and of the texts the program suggests itself ("0.01").
std::optional<double> ParseUserNumber(std::string_view text, char decimalSeparator);

// The message for a typed text that is not a number:
// "<text>" is not a valid floating number!
std::string NotAValidFloatingNumber(std::string_view text);
