/*
 * Numbers as text, the same in every process (see NumberText.h).
 */
#include "common/NumberText.h"

#include <cmath>

namespace paylode {

std::string NumberText(double value, std::chars_format format, int precision) {
    char text[400];  // "%.2f" of the largest double takes 312 characters
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value, format, precision);
    if (written.ec != std::errc()) return std::string();
    return std::string(text, written.ptr);
}

std::size_t ReadNumber(std::string_view text, double* value) {
    // White space as the "C" locale's isspace knows it, then the plus sign
    // that strtod takes and from_chars does not (a minus sign it takes
    // itself, but not after a plus).
    std::size_t at = text.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string_view::npos) return 0;
    if (text[at] == '+' && ++at < text.size() && text[at] == '-') return 0;
    double number = 0.0;
    const std::from_chars_result read =
        std::from_chars(text.data() + at, text.data() + text.size(), number, std::chars_format::general);
    // Words such as "inf" and "nan" are read as what they name: no amount.
    if (read.ec != std::errc() || !std::isfinite(number)) return 0;
    *value = number;
    return static_cast<std::size_t>(read.ptr - text.data());
}

}  // namespace paylode
