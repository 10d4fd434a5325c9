#pragma once

#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Numbers read from and written to text, always with "." as the decimal point whatever the user's locale:
// the numbers in documents, user defaults and the rectangle text form must read the same everywhere.
//
// Reading follows the platform's string-to-number conversions: leading white space is skipped, an optional
// sign and the decimal number that starts there are read and everything after it is ignored; text that
// does not start with a number reads 0.
// - doubleValue / floatValue read digits, a decimal point and an exponent ("1e-05", "2.5E+3"); an
//   exponent marker without digits after it is not part of the number ("3e" reads 3). Values beyond the
//   type's range read as plus or minus infinity, values too small for it as zero. No hexadecimal,
//   "inf" or "nan" text is read.
// - intValue / integerValue read only the integer digits ("12.7" reads 12, "1e3" reads 1) and saturate
//   at the limits of their type.
// - boolValue is YES when the text, after white space and an optional sign and leading zeros, starts with
//   "Y", "y", "T", "t" or a digit 1 to 9.
double doubleValue(std::string_view text);
float floatValue(std::string_view text);
int intValue(std::string_view text);
std::int64_t integerValue(std::string_view text);
bool boolValue(std::string_view text);

// The decimal number at the start of the text, read as doubleValue reads it; answers how many characters
// it took (leading white space included), 0 when the text does not start with a number.
std::size_t scanDouble(std::string_view text, double& value);

double doubleValue(QStringView text);
float floatValue(QStringView text);
int intValue(QStringView text);
std::int64_t integerValue(QStringView text);
bool boolValue(QStringView text);

// "%g": six significant digits, trailing zeros dropped, exponent form below 1e-4 and from 1e6 on
// ("1e-05", "1e+06"); "inf", "-inf" and "nan" for the special values.
std::string formatG(double value);
// "%d" and "%ld".
std::string formatInteger(std::int64_t value);
// "%lu".
std::string formatUnsigned(std::uint64_t value);
// The shortest text that reads back as exactly the same double (used where a value must survive a trip
// through text unchanged, such as the rectangle text form).
std::string formatShortest(double value);

} // namespace platform
