/*
 * Wide text to ANSI text for the native build: Windows-1252.
 */
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

}  // namespace paylode
