/*
 * Amounts and dates of statement fields (see StatementValues.h).
 */
#include "statements/StatementValues.h"

#include <cctype>
#include <cfloat>
#include <climits>
#include <cstdint>
#include <string>

#include "common/NumberText.h"
#include "common/OleDate.h"

namespace paylode {

namespace {

// Up to this many digits, an amount's digits as one integer and the power of
// ten that places its decimal point are exact doubles.
constexpr int kExactDigits = 15;
// Whether double arithmetic rounds each result once, to a double. Where it
// is carried out in wider registers (the x87 of 32-bit x86 builds) a
// quotient is rounded twice and may land one bit away from the standard
// conversion's reading.
constexpr bool kDoublesRoundOnce = FLT_EVAL_METHOD == 0;
constexpr double kPowersOfTen[kExactDigits + 1] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

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

// The number written by the `count` characters at `text` when all of them are
// digits; otherwise -1.
int DigitsAt(const char* text, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned digit = static_cast<unsigned char>(text[i]) - static_cast<unsigned>('0');
        if (digit > 9) return -1;
        value = value * 10 + static_cast<int>(digit);
    }
    return value;
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

}  // namespace

double ParseAmount(FieldText field) {
    // Unquoted, then white space, thousands separators and minus signs
    // dropped, into a copy: on the stack for any amount a bank writes.
    const FieldText text = Unquoted(field);
    char local[128];
    std::string large;
    char* start = local;
    if (text.size() >= sizeof local) {
        large.resize(text.size() + 1);
        start = &large[0];
    }
    char* kept = start;
    for (const char character : text) {
        const unsigned char c = static_cast<unsigned char>(character);
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
    int decimals = 0;
    std::uint64_t number = 0;  // the digits as one integer, while they are few
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        if (++digits <= kExactDigits) number = number * 10 + static_cast<unsigned>(*p - '0');
    }
    if (*p == '.') {
        for (++p; std::isdigit(static_cast<unsigned char>(*p)); ++p, ++decimals) {
            if (++digits <= kExactDigits) number = number * 10 + static_cast<unsigned>(*p - '0');
        }
    }
    if (digits == 0) return 0.0;
    bool scaled = false;
    if (*p == 'e' || *p == 'E') {
        char* exponent = p + 1;
        if (*exponent == '+') ++exponent;
        if (std::isdigit(static_cast<unsigned char>(*exponent))) {
            for (p = exponent; std::isdigit(static_cast<unsigned char>(*p)); ++p) {}
            scaled = true;
        }
    }
    // An amount as a bank writes it, a few digits and no exponent: the
    // integer of its digits and the power of ten it is divided by are both
    // exact doubles, so one division, rounded once, rounds it as the
    // standard conversion does, without the conversion's general machinery.
    if (kDoublesRoundOnce && !scaled && digits <= kExactDigits) {
        return static_cast<double>(number) / kPowersOfTen[decimals];
    }
    // Read as the standard conversion reads it, whatever the process's C
    // locale; an amount beyond a double's range is no amount.
    double amount = 0.0;
    return ReadNumber(std::string_view(start, static_cast<std::size_t>(p - start)), &amount) != 0 ? amount : 0.0;
}

double ParseDate(FieldText text) {
    double result = 0.0;
    double date = 0.0;

    // The two forms the bank writes, DD/MM/YYYY and YYYY-MM-DD in digits
    // only, are read where they stand, to the date the readings below give
    // them: day first, a date after the epoch is taken (any other outcome is
    // left to those readings); year first, the day-first reading finds a
    // year alone, so the year-first reading decides.
    if (text.size() == 10) {
        const char* written = text.data();
        if (written[2] == '/' && written[5] == '/') {
            const int day = DigitsAt(written, 2), month = DigitsAt(written + 3, 2), year = DigitsAt(written + 6, 4);
            if (day >= 0 && month >= 0 && year >= 0 && DateOf(year, true, month, true, day, true, &date) &&
                date >= kFirstDayAfterEpoch) {
                return date;
            }
        } else if (written[4] == '-' && written[7] == '-') {
            const int year = DigitsAt(written, 4), month = DigitsAt(written + 5, 2), day = DigitsAt(written + 8, 2);
            if (year >= 0 && month >= 0 && day >= 0) {
                return DateOf(year, true, month, true, day, true, &date) ? date : 0.0;
            }
        }
    }

    const char* end = text.data() + text.size();
    const DateComponents dayFirst = SplitDate(text.data(), end, '/');
    if (DateOf(dayFirst.value[2], dayFirst.found[2], dayFirst.value[1], dayFirst.found[1], dayFirst.value[0],
               dayFirst.found[0], &date)) {
        result = date;
        if (date >= kFirstDayAfterEpoch) return result;
    }

    // Year first; a component this reading lacks is the day-first reading's.
    const DateComponents yearFirst = SplitDate(text.data(), end, '-');
    int year = dayFirst.value[2], month = dayFirst.value[1], day = dayFirst.value[0];
    bool haveYear = dayFirst.found[2], haveMonth = dayFirst.found[1], haveDay = dayFirst.found[0];
    if (yearFirst.found[0]) year = yearFirst.value[0], haveYear = true;
    if (yearFirst.found[1]) month = yearFirst.value[1], haveMonth = true;
    if (yearFirst.found[2]) day = yearFirst.value[2], haveDay = true;
    if (DateOf(year, haveYear, month, haveMonth, day, haveDay, &date)) result = date;
    return result;
}

}  // namespace paylode
