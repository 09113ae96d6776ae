/*
 * UTF-8 decoding (see Utf8Decode.h).
 */
#include "cli/Utf8Decode.h"

namespace paylode::cli {

bool Utf16FromUtf8(std::string_view text, std::u16string* result, std::size_t* badOffset) {
    result->clear();
    std::size_t i = 0;
    auto fail = [&] {
        if (badOffset != nullptr) *badOffset = i;
        return false;
    };
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            result->push_back(lead);
            ++i;
            continue;
        }
        int extra;
        char32_t point;
        char32_t smallest;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, point = lead & 0x1F, smallest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, point = lead & 0x0F, smallest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, point = lead & 0x07, smallest = 0x10000;
        } else {
            return fail();
        }
        if (text.size() - i <= static_cast<std::size_t>(extra)) return fail();
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return fail();
            point = (point << 6) | (next & 0x3F);
        }
        if (point < smallest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return fail();
        if (point >= 0x10000) {
            point -= 0x10000;
            result->push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
            result->push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
        } else {
            result->push_back(static_cast<char16_t>(point));
        }
        i += extra + 1;
    }
    return true;
}

}  // namespace paylode::cli
