/*
 * Numbers as text, the same in every process. The C library's printf and
 * strtod follow the process's C locale, which the host application, or any
 * other component loaded into it, may set: under a German or French locale
 * "%.2f" writes 1234,50 and strtod reads "12.75" as 12. A payment file, a
 * statement or a batch always writes its numbers with a decimal point, so
 * every amount the component writes or reads goes through here, on the
 * standard library's locale-free conversions.
 */
#pragma once

#include <charconv>
#include <string>
#include <string_view>

namespace paylode {

// `value` as printf writes it in the "C" locale with the conversion that
// `format` names (fixed: "%.*f", general: "%.*g") and `precision`.
std::string NumberText(double value, std::chars_format format, int precision);

// The decimal number that `text` begins with, as strtod reads one in the
// "C" locale: leading white space and one plus or minus sign, digits with at
// most one decimal point, an optional exponent. Returns how many characters
// it took: 0 when `text` begins with no number ("inf" and "nan" included) or
// the number lies beyond a double's range. Hexadecimal forms are not read:
// "0x10" is the number 0 followed by other text.
std::size_t ReadNumber(std::string_view text, double* value);

}  // namespace paylode
