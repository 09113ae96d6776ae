/*
 * UTF-8 through utfcpp (see Utf8.h).
 */
#include "cli/Utf8.h"

#include <iterator>

#include <utf8.h>

#include "common/Cp1252.h"

namespace paylode::cli {

bool Utf16FromUtf8(std::string_view text, std::u16string* result) {
    result->clear();
    if (utf8::find_invalid(text.begin(), text.end()) != text.end()) return false;
    utf8::utf8to16(text.begin(), text.end(), std::back_inserter(*result));
    return true;
}

std::string Utf8FromCp1252(const char* text) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        char32_t codePoint = Utf16FromCp1252(static_cast<unsigned char>(*p));
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) codePoint = 0xFFFD;  // not a character on its own
        utf8::append(codePoint, std::back_inserter(out));
    }
    return out;
}

}  // namespace paylode::cli
