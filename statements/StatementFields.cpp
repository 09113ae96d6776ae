/*
 * Field counting and extraction, unquoting, amounts and dates of statement
 * lines (see StatementFields.h).
 */
#include "statements/StatementFields.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/OleDate.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace paylode {

namespace {

// The one field buffer of the process. Static storage: nothing to free.
char g_fieldBuffer[kFieldBufferSize];

// Clears the field buffer and copies `length` characters of `text` into it,
// at most what the buffer holds before its terminator.
char* FillFieldBuffer(const char* text, std::size_t length) {
    std::memset(g_fieldBuffer, 0, sizeof g_fieldBuffer);
    if (length > kFieldBufferSize - 1) length = kFieldBufferSize - 1;
    std::memcpy(g_fieldBuffer, text, length);
    return g_fieldBuffer;
}

// Days after 30 December 1899 count from here; a day-first reading that
// lands on or before that day is not taken.
constexpr double kFirstDayAfterEpoch = 5e-6;

// The leading integer of a date component from `text` to `end`, as the
// standard conversion reads it (white space, a sign, then digits), held at
// the ends of int's range instead of overflowing; the date rules refuse such
// values anyway.
int LeadingInteger(const char* text, const char* end) {
    while (text < end && std::isspace(static_cast<unsigned char>(*text))) ++text;
    bool negative = false;
    if (text < end && (*text == '+' || *text == '-')) negative = *text++ == '-';
    long long value = 0;
    for (; text < end && std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        if (value <= INT_MAX) value = value * 10 + (*text - '0');
    }
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(negative ? -value : value);
}

// Up to three components of a date text split at `separator`: runs of
// separators count as one and empty pieces are skipped. A double quote
// leading the first piece is passed over.
struct DateComponents {
    int value[3] = {0, 0, 0};
    bool found[3] = {false, false, false};
};

DateComponents SplitDate(const char* text, const char* end, char separator) {
    DateComponents parts;
    const char* position = text;
    for (int index = 0; index < 3; ++index) {
        while (position < end && *position == separator) ++position;
        if (position == end) break;
        const char* pieceEnd = position;
        while (pieceEnd < end && *pieceEnd != separator) ++pieceEnd;
        const char* piece = position;
        if (index == 0 && *piece == '"') ++piece;
        parts.value[index] = LeadingInteger(piece, pieceEnd);
        parts.found[index] = true;
        position = pieceEnd;
    }
    return parts;
}

// The date at midnight of the given components. A missing component, or a
// day or month of 0, is refused rather than rolled back into the day or year
// before: that would turn an empty or half-written date into a real one.
// Otherwise the platform's rules apply (two-digit years, a day past the
// month's end running on into the next month).
bool DateOf(int year, bool haveYear, int month, bool haveMonth, int day, bool haveDay, double* date) {
    if (!haveYear || !haveMonth || !haveDay || month == 0 || day == 0) return false;
    return OleDateFromFields(year, month, day, 0, 0, 0, date);
}

// The last field of a line in which a walk counted one separator fewer than
// the field's number (see GetField); cuts the line after a closing quote.
FieldText TakeLastField(char* line, char separator) {
    // Its separator is found by a plain search, quotes or not.
    char* lastSeparator = std::strrchr(line, separator);
    if (lastSeparator == nullptr) return {};
    char* closing = std::strrchr(lastSeparator + 1, '"');
    if (closing == nullptr) {
        const char* field = lastSeparator + 1;
        return {field, std::strlen(field)};
    }
    // A closing quote ends the field and the line: what follows it (a
    // carriage return, say) is dropped. The opening quote is the nearest one
    // before it, wherever it stands, so a quoted last field holding commas is
    // taken whole.
    closing[1] = '\0';
    for (char* opening = closing - 1; opening > line; --opening) {
        if (*opening == '"') return {opening, static_cast<std::size_t>(closing - opening) + 1};
    }
    return {"", 0};
}

}  // namespace

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

char* GetField(char* line, char separator, int number) {
    if (line == nullptr) return nullptr;
    bool quoted = false;
    int separators = 0;
    const char* start = line;
    for (char* p = line; *p != '\0'; ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (*p == separator && !quoted) {
            ++separators;
            if (separators == number) return FillFieldBuffer(start, static_cast<std::size_t>(p - start));
            start = p + 1;
        }
    }
    if (separators != number - 1) return nullptr;
    const FieldText last = TakeLastField(line, separator);
    return last.text != nullptr ? FillFieldBuffer(last.text, last.length) : nullptr;
}

CLineFields::CLineFields(char* line, char separator) : line_(line), separator_(separator) {
    if (line == nullptr) {
        separators_ = -1;  // no line: no fields
        return;
    }
    const std::size_t length = std::strlen(line);
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

FieldText CLineFields::Field(int number) {
    if (line_ == nullptr || number < 1) return {};
    if (number - 1 == separators_) return TakeLastField(line_, separator_);
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

void Unquote(CString& text) {
    const int length = text.GetLength();
    if (length >= 2 && text.GetAt(0) == '"' && text.GetAt(length - 1) == '"') text = text.Mid(1, length - 2);
}

void RemoveWhitespace(CString& text) {
    std::string kept;
    for (const char* p = text.GetString(); *p != '\0'; ++p) {
        if (!std::isspace(static_cast<unsigned char>(*p))) kept += *p;
    }
    text = kept.c_str();
}

void RemoveChars(CString& text, CString set) {
    std::string kept;
    for (const char* p = text.GetString(); *p != '\0'; ++p) {
        if (set.Find(*p) < 0) kept += *p;
    }
    text = kept.c_str();
}

double ParseAmount(CString text) { return ParseAmountText(text.GetString(), std::strlen(text.GetString())); }

double ParseAmountText(const char* text, std::size_t length) {
    // Unquoted, then white space, thousands separators and minus signs
    // dropped, into a copy: on the stack for any amount a bank writes.
    if (length >= 2 && text[0] == '"' && text[length - 1] == '"') {
        ++text;
        length -= 2;
    }
    char local[128];
    std::string large;
    char* start = local;
    if (length >= sizeof local) {
        large.resize(length + 1);
        start = &large[0];
    }
    char* kept = start;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // Printable ASCII is never white space, whatever the locale; the
        // rest asks the standard test.
        const bool space = (c <= ' ' || c >= 0x7F) && std::isspace(c);
        if (c != ',' && c != '-' && !space) *kept++ = static_cast<char>(c);
    }
    *kept = '\0';
    // The leading decimal number: an optional plus sign, digits with at most
    // one decimal point, an optional exponent. Words such as "inf" or "nan"
    // and hexadecimal forms are not amounts.
    char* p = start;
    if (*p == '+') ++p;
    int digits = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) ++digits;
    if (*p == '.') {
        for (++p; std::isdigit(static_cast<unsigned char>(*p)); ++p) ++digits;
    }
    if (digits == 0) return 0.0;
    if (*p == 'e' || *p == 'E') {
        char* exponent = p + 1;
        if (*exponent == '+') ++exponent;
        if (std::isdigit(static_cast<unsigned char>(*exponent))) {
            for (p = exponent; std::isdigit(static_cast<unsigned char>(*p)); ++p) {}
        }
    }
    *p = '\0';
    const double amount = std::strtod(start, nullptr);
    // An amount too large for a double is no amount.
    return std::isfinite(amount) ? amount : 0.0;
}

double ParseDate(CString text) { return ParseDateText(text.GetString(), std::strlen(text.GetString())); }

double ParseDateText(const char* text, std::size_t length) {
    double result = 0.0;
    double date = 0.0;

    const char* end = text + length;
    const DateComponents dayFirst = SplitDate(text, end, '/');
    if (DateOf(dayFirst.value[2], dayFirst.found[2], dayFirst.value[1], dayFirst.found[1], dayFirst.value[0],
               dayFirst.found[0], &date)) {
        result = date;
        if (date >= kFirstDayAfterEpoch) return result;
    }

    // Year first; a component this reading lacks is the day-first reading's.
    const DateComponents yearFirst = SplitDate(text, end, '-');
    int year = dayFirst.value[2], month = dayFirst.value[1], day = dayFirst.value[0];
    bool haveYear = dayFirst.found[2], haveMonth = dayFirst.found[1], haveDay = dayFirst.found[0];
    if (yearFirst.found[0]) year = yearFirst.value[0], haveYear = true;
    if (yearFirst.found[1]) month = yearFirst.value[1], haveMonth = true;
    if (yearFirst.found[2]) day = yearFirst.value[2], haveDay = true;
    if (DateOf(year, haveYear, month, haveMonth, day, haveDay, &date)) result = date;
    return result;
}

}  // namespace paylode
