/*
 * Counting and finding the fields of a statement line (see
 * StatementFields.h).
 */
#include "statements/StatementFields.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace paylode {

int CountFields(const char* line, char separator) {
    if (line == nullptr) return 0;
    int count = 1;
    bool quoted = false;
    for (const char* p = line; *p != '\0'; ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (*p == separator && !quoted) {
            ++count;
        }
    }
    if (quoted) --count;
    return count;
}

FieldText LastField(char* line, char separator) {
    char* lastSeparator = std::strrchr(line, separator);
    if (lastSeparator == nullptr) return {};
    char* closing = std::strrchr(lastSeparator + 1, '"');
    if (closing == nullptr) {
        const char* field = lastSeparator + 1;
        return {field, std::strlen(field)};
    }
    closing[1] = '\0';
    for (char* opening = closing - 1; opening > line; --opening) {
        if (*opening == '"') return {opening, static_cast<std::size_t>(closing - opening) + 1};
    }
    return FieldText("");
}

// The line's separators outside quotes, counted in one pass: 32 characters
// at a time where SSE2 is there, then byte by byte. It stays one function:
// the block loop and the byte loop carry the same running quote parity and
// count from one to the other.
CLineFields::CLineFields(char* line, char separator)
    : CLineFields(line, line != nullptr ? std::strlen(line) : 0, separator) {}

CLineFields::CLineFields(char* line, std::size_t length, char separator) : line_(line), separator_(separator) {
    if (line == nullptr) {
        separators_ = -1;  // no line: no fields
        return;
    }
    unsigned quoted = 0;
    int separators = 0;
    std::size_t i = 0;
#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
    // 32 characters at a time: masks of the quotes and separators, the
    // quoted stretches from a running parity of the quotes, and the
    // separators outside them taken one by one. The end of the line is
    // copied into a block filled up with zeros, which are neither.
    if (separator != '\0') {
        const __m128i quotes = _mm_set1_epi8('"');
        const __m128i commas = _mm_set1_epi8(separator);
        alignas(16) char tail[32];
        while (i < length) {
            const char* block = line + i;
            if (length - i < 32) {
                std::memset(tail, 0, sizeof tail);
                std::memcpy(tail, block, length - i);
                block = tail;
            }
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16));
            const std::uint32_t quote = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, quotes))) |
                                        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, quotes)))
                                            << 16;
            const std::uint32_t comma = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, commas))) |
                                        static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, commas)))
                                            << 16;
            // Bit k of `inside`: an odd number of quotes up to character k.
            std::uint32_t inside = quote;
            inside ^= inside << 1;
            inside ^= inside << 2;
            inside ^= inside << 4;
            inside ^= inside << 8;
            inside ^= inside << 16;
            if (quoted != 0) inside = ~inside;
            quoted = inside >> 31;
            for (std::uint32_t outside = comma & ~quote & ~inside; outside != 0; outside &= outside - 1) {
                ends_[separators < kKeptSeparators ? separators : kKeptSeparators] = line + i + __builtin_ctz(outside);
                ++separators;
            }
            i += 32;
        }
    }
#endif
    // Character by character, without branches: a statement line has a
    // separator or a quote every few characters, too often for a branch on
    // them to be predicted. Every character's position goes into the slot of
    // the next separator and stays there when it is that separator; once the
    // kept slots are full the last slot takes the rest.
    for (; i < length; ++i) {
        const char c = line[i];
        const unsigned quote = c == '"';
        quoted ^= quote;
        ends_[separators < kKeptSeparators ? separators : kKeptSeparators] = line + i;
        separators += static_cast<int>((c == separator) & (quote ^ 1u) & (quoted ^ 1u));
    }
    separators_ = separators;
    quoted_ = quoted != 0;
}

FieldText CLineFields::OtherField(int number) {
    if (line_ == nullptr || number < 1) return {};
    if (number - 1 == separators_) return LastField(line_, separator_);
    if (number > separators_) return {};
    // The field ends at separator `number`; beyond the separators kept, the
    // walk goes on from the last one kept, outside quotes by definition.
    const char* start = number == 1 ? line_ : nullptr;
    const char* end = nullptr;
    if (number <= kKeptSeparators) {
        if (number > 1) start = ends_[number - 2] + 1;
        end = ends_[number - 1];
    } else {
        bool quoted = false;
        int separators = kKeptSeparators;
        const char* p = ends_[kKeptSeparators - 1] + 1;
        if (number - 1 == separators) start = p;
        for (; end == nullptr; ++p) {
            if (*p == '"') {
                quoted = !quoted;
            } else if (*p == separator_ && !quoted) {
                if (++separators == number - 1) start = p + 1;
                if (separators == number) end = p;
            }
        }
    }
    return {start, static_cast<std::size_t>(end - start)};
}

}  // namespace paylode
