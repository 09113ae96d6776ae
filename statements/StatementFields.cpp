/*
 * Field counting and extraction, unquoting, amounts and dates of statement
 * lines (see StatementFields.h).
 */
#include "statements/StatementFields.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/OleDate.h"

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

// The leading integer of a date component, as the standard conversion reads
// it (white space, a sign, then digits), held at the ends of int's range
// instead of overflowing; the date rules refuse such values anyway.
int LeadingInteger(const char* text) {
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
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

DateComponents SplitDate(const char* text, char separator) {
    DateComponents parts;
    const std::string copy(text);
    std::size_t position = 0;
    for (int index = 0; index < 3; ++index) {
        position = copy.find_first_not_of(separator, position);
        if (position == std::string::npos) break;
        std::size_t end = copy.find(separator, position);
        if (end == std::string::npos) end = copy.size();
        std::string piece = copy.substr(position, end - position);
        if (index == 0 && !piece.empty() && piece[0] == '"') piece.erase(0, 1);
        parts.value[index] = LeadingInteger(piece.c_str());
        parts.found[index] = true;
        position = end;
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

    // The last field. Its separator is found by a plain search, quotes or not.
    char* lastSeparator = std::strrchr(line, separator);
    if (lastSeparator == nullptr) return nullptr;
    char* closing = std::strrchr(lastSeparator + 1, '"');
    if (closing == nullptr) {
        const char* field = lastSeparator + 1;
        return FillFieldBuffer(field, std::strlen(field));
    }
    // A closing quote ends the field and the line: what follows it (a
    // carriage return, say) is dropped. The opening quote is the nearest one
    // before it, wherever it stands, so a quoted last field holding commas is
    // taken whole.
    closing[1] = '\0';
    for (char* opening = closing - 1; opening > line; --opening) {
        if (*opening == '"') return FillFieldBuffer(opening, static_cast<std::size_t>(closing - opening) + 1);
    }
    return FillFieldBuffer("", 0);
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

double ParseAmount(CString text) {
    Unquote(text);
    RemoveWhitespace(text);
    RemoveChars(text, ",-");
    // The leading decimal number: an optional plus sign, digits with at most
    // one decimal point, an optional exponent. Words such as "inf" or "nan"
    // and hexadecimal forms are not amounts.
    const char* start = text.GetString();
    const char* p = start;
    if (*p == '+') ++p;
    int digits = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) ++digits;
    if (*p == '.') {
        for (++p; std::isdigit(static_cast<unsigned char>(*p)); ++p) ++digits;
    }
    if (digits == 0) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+') ++exponent;
        if (std::isdigit(static_cast<unsigned char>(*exponent))) {
            for (p = exponent; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
            }
        }
    }
    const std::string number(start, static_cast<std::size_t>(p - start));
    const double amount = std::strtod(number.c_str(), nullptr);
    // An amount too large for a double is no amount.
    return std::isfinite(amount) ? amount : 0.0;
}

double ParseDate(CString text) {
    double result = 0.0;
    double date = 0.0;

    const DateComponents dayFirst = SplitDate(text.GetString(), '/');
    if (DateOf(dayFirst.value[2], dayFirst.found[2], dayFirst.value[1], dayFirst.found[1], dayFirst.value[0],
               dayFirst.found[0], &date)) {
        result = date;
        if (date >= kFirstDayAfterEpoch) return result;
    }

    // Year first; a component this reading lacks is the day-first reading's.
    const DateComponents yearFirst = SplitDate(text.GetString(), '-');
    int year = dayFirst.value[2], month = dayFirst.value[1], day = dayFirst.value[0];
    bool haveYear = dayFirst.found[2], haveMonth = dayFirst.found[1], haveDay = dayFirst.found[0];
    if (yearFirst.found[0]) year = yearFirst.value[0], haveYear = true;
    if (yearFirst.found[1]) month = yearFirst.value[1], haveMonth = true;
    if (yearFirst.found[2]) day = yearFirst.value[2], haveDay = true;
    if (DateOf(year, haveYear, month, haveMonth, day, haveDay, &date)) result = date;
    return result;
}

}  // namespace paylode
