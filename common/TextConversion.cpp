/*
 * UTF-8 through utfcpp, and UTF-8 to and from ANSI text through the
 * platform's wide text (see TextConversion.h).
 */
#include "common/TextConversion.h"

#include <iterator>
#include <utility>

#include <utf8.h>

namespace paylode {
namespace {

bool IsLeadSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsTrailSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

bool IsUtf8(std::string_view text) { return utf8::find_invalid(text.begin(), text.end()) == text.end(); }

WideString WideFromUtf8(const Utf8Text& text) {
    const std::string& utf8 = text.Bytes();
    WideString wide;
    if (IsUtf8(utf8)) {
        utf8::utf8to16(utf8.begin(), utf8.end(), std::back_inserter(wide));
    } else {
        std::string replaced;
        utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(replaced));
        utf8::utf8to16(replaced.begin(), replaced.end(), std::back_inserter(wide));
    }
    return wide;
}

Utf8Text Utf8FromWide(WideStringView wide) {
    std::string utf8;
    utf8.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t codePoint = wide[i];
        if (IsLeadSurrogate(codePoint) && i + 1 < wide.size() && IsTrailSurrogate(wide[i + 1])) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (wide[++i] - 0xDC00);
        } else if (IsLeadSurrogate(codePoint) || IsTrailSurrogate(codePoint)) {
            codePoint = 0xFFFD;
        }
        utf8::append(codePoint, std::back_inserter(utf8));
    }
    return Utf8Text(std::move(utf8));
}

bool AnsiFromUtf8(const Utf8Text& utf8, std::string* ansi) {
    if (!IsUtf8(utf8.Bytes())) return false;
    const WideString wide = WideFromUtf8(utf8);
    *ansi = AnsiFromWide(wide.c_str(), static_cast<int>(wide.size()));
    return true;
}

Utf8Text Utf8FromAnsi(const char* ansi) { return Utf8FromWide(WideFromAnsi(ansi)); }

}  // namespace paylode
