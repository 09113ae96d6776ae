/*
 * Wide text to ANSI text and back for the native build: Windows-1252.
 */
#include <cstring>

#include "common/Cp1252.h"
#include "common/TextConversion.h"

namespace paylode {

std::string PlatformAnsiFromWide(const WideChar* text, int length) {
    if (text == nullptr) return {};
    std::size_t count = 0;
    if (length < 0) {
        while (text[count] != 0) ++count;
    } else {
        count = static_cast<std::size_t>(length);
    }
    return Cp1252FromUtf16(text, count);
}

WideString WideFromAnsi(const char* text, int length) {
    if (text == nullptr) return {};
    const std::size_t count = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
    WideString wide;
    wide.reserve(count);
    for (std::size_t i = 0; i < count; ++i) wide.push_back(Utf16FromCp1252(static_cast<unsigned char>(text[i])));
    return wide;
}

}  // namespace paylode
