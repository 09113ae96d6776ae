// Statement line fields: counting and extraction with quotes, unquoting,
// amounts and dates.
#include "statements/StatementFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "common/OleDate.h"
#include "statements/StatementValues.h"
#include "fuzz/ReferenceFields.h"

namespace paylode {
namespace {

using fuzz::GetField;
using fuzz::kFieldBufferSize;

constexpr double kFirstFeb2006 = 38749;

TEST(StatementFields, CountFields) {
    struct Row {
        const char* line;
        int fields;
    };
    // clang-format off
    const Row rows[] = {
        {"", 1},
        {"a", 1},
        {",", 2},
        {",,,", 4},
        {"a,\"b,c\",d", 3},        // a comma inside quotes does not separate
        {"a,\"b,c", 1},            // ends inside quotes: the open stretch does not count
        {"\"", 0},
        {"a,\"\"\"x,y\"", 2},      // a doubled quote toggles twice
        {"a,b\r", 2},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].fields, CountFields(rows[i].line, ','));
    }
    EXPECT_EQ(0, CountFields(nullptr, ','));
}

TEST(StatementFields, GetField) {
    struct Row {
        const char* line;
        int number;
        const char* field;  // null: no such field
        const char* lineAfter;
    };
    // clang-format off
    const Row rows[] = {
        {"a,b,c", 1, "a", "a,b,c"},
        {"a,b,c", 2, "b", "a,b,c"},
        {"a,b,c", 3, "c", "a,b,c"},
        {"a,b,c", 4, nullptr, "a,b,c"},
        {"a,b,c", 0, nullptr, "a,b,c"},
        {"a,,c", 2, "", "a,,c"},
        {"a,b,c\r", 3, "c\r", "a,b,c\r"},
        {"a,\"b,c\",d", 2, "\"b,c\"", "a,\"b,c\",d"},
        // A quoted last field: commas inside are kept, what follows the
        // closing quote is cut from the line.
        {"a,b,\"1,234.56\"\r", 3, "\"1,234.56\"", "a,b,\"1,234.56\""},
        {"a,\"x\",\"Smith, J\"  \r", 3, "\"Smith, J\"", "a,\"x\",\"Smith, J\""},
        // A lone closing quote takes the text back to the nearest quote
        // before it, past the field's own separator.
        {"a,\"b,c\"", 2, "\"b,c\"", "a,\"b,c\""},
        {"a,b\"", 2, "", "a,b\""},  // no opening quote: empty
        // One field: the separator search ignores quotes and finds the inner
        // comma; the opening quote is the line's first character, never examined.
        {"\"a,b\"", 1, "", "\"a,b\""},
        {"abc", 1, nullptr, "abc"},  // the last field needs a separator in the line
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        std::vector<char> line(rows[i].line, rows[i].line + std::strlen(rows[i].line) + 1);
        const char* field = GetField(line.data(), ',', rows[i].number);
        if (rows[i].field == nullptr) {
            EXPECT_EQ(nullptr, field);
        } else {
            ASSERT_NE(nullptr, field);
            EXPECT_STREQ(rows[i].field, field);
        }
        EXPECT_STREQ(rows[i].lineAfter, line.data());
    }
    EXPECT_EQ(nullptr, GetField(nullptr, ',', 1));
}

// Past the separators it keeps (32), a line's fields are found by walking
// on: every field of a 40-field line, quoted ones with separators among them,
// is the one GetField gives, and no field carries its separator.
TEST(StatementFields, LineFieldsPastTheKeptSeparatorsAreGetFieldsFields) {
    std::string text;
    for (int i = 1; i <= 40; ++i) {
        if (i > 1) text += ',';
        text += i % 7 == 0 ? "\"q," + std::to_string(i) + "\"" : "f" + std::to_string(i);
    }
    std::vector<char> line(text.begin(), text.end());
    line.push_back('\0');
    CLineFields fields(line.data(), ',');
    ASSERT_EQ(40, fields.Count());
    for (int number = 1; number <= 41; ++number) {
        SCOPED_TRACE(number);
        std::vector<char> plain(text.begin(), text.end());
        plain.push_back('\0');
        const char* expected = GetField(plain.data(), ',', number);
        const FieldText field = fields.Field(number);
        if (expected == nullptr) {
            EXPECT_EQ(nullptr, field.data());
            continue;
        }
        ASSERT_NE(nullptr, field.data());
        EXPECT_EQ(std::string(expected), std::string(field));
    }
}

TEST(StatementFields, GetFieldLeavesNothingOfAnEarlierField) {
    char line[] = "longer field,x,y";
    ASSERT_STREQ("longer field", GetField(line, ',', 1));
    const char* field = GetField(line, ',', 2);
    EXPECT_STREQ("x", field);
    for (std::size_t i = 1; i < kFieldBufferSize; ++i) ASSERT_EQ('\0', field[i]) << i;
}

TEST(StatementFields, LongFieldsAreCutToTheBuffer) {
    for (const std::size_t length : {kFieldBufferSize - 1, kFieldBufferSize, std::size_t{2047}}) {
        SCOPED_TRACE(length);
        const std::string text(length, 'x');
        for (const std::string& line : {text + ",b", "a," + text, "a,\"" + text + "\""}) {
            std::vector<char> buffer(line.begin(), line.end());
            buffer.push_back('\0');
            const int number = line[0] == 'a' ? 2 : 1;
            const char* field = GetField(buffer.data(), ',', number);
            ASSERT_NE(nullptr, field);
            EXPECT_EQ(std::min(length + (line[2] == '"' ? 2 : 0), kFieldBufferSize - 1), std::strlen(field));
        }
    }
}

TEST(StatementFields, TextCleaning) {
    struct Row {
        const char* text;
        const char* unquoted;
        const char* withoutWhitespace;
        const char* withoutCommasAndMinus;
    };
    // clang-format off
    const Row rows[] = {
        {"\"abc\"", "abc", "\"abc\"", "\"abc\""},
        {"\"\"", "", "\"\"", "\"\""},
        {"\"", "\"", "\"", "\""},
        {"\"a\"b\"", "a\"b", "\"a\"b\"", "\"a\"b\""},
        {" \"x\" ", " \"x\" ", "\"x\"", " \"x\" "},
        {"\"abc", "\"abc", "\"abc", "\"abc"},
        {" 1,2\t-3\r\n\v\f", " 1,2\t-3\r\n\v\f", "1,2-3", " 12\t3\r\n\v\f"},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].unquoted, std::string(Unquoted(rows[i].text)));
        CString text = rows[i].text;
        fuzz::RemoveWhitespace(text);
        EXPECT_STREQ(rows[i].withoutWhitespace, text);
        text = rows[i].text;
        fuzz::RemoveChars(text, ",-");
        EXPECT_STREQ(rows[i].withoutCommasAndMinus, text);
    }
}

TEST(StatementFields, ParseAmount) {
    struct Row {
        const char* text;
        double amount;
    };
    // clang-format off
    const Row rows[] = {
        {"12.50", 12.5},
        {"1,234.56", 1234.56},
        {"\"1,234.56\"", 1234.56},
        {"-12.50", 12.5},
        {"12.50-", 12.5},
        {" 15 \r", 15},
        {"0.00", 0},
        {"", 0},
        {"\"\"", 0},
        {"abc", 0},
        {"12abc", 12},
        {"+7", 7},
        {".5", 0.5},
        {"1e2", 100},
        {"1e-2", 100},          // the minus of the exponent goes with the others
        {" \"12.50\" ", 0},     // spaces around the quotes: not unquoted
        {"inf", 0},
        {"nan", 0},
        {"0x1A", 0},
        {"1e999", 0},           // beyond a double: no amount
        {"\"1 000.5\"", 1000.5},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].text);
        EXPECT_EQ(rows[i].amount, ParseAmount(rows[i].text));
    }
}

// Amounts of every length from 1 to 17 digits, the decimal point anywhere or
// nowhere: each is the double the standard conversion reads from the same
// text, to the bit.
TEST(StatementFields, AmountsAreTheStandardConversions) {
    std::uint64_t state = 12345;
    const auto next = [&state] { return (state = state * 6364136223846793005u + 1442695040888963407u) >> 33; };
    for (int i = 0; i < 200000; ++i) {
        const int digits = static_cast<int>(next() % 17) + 1;
        const int point = static_cast<int>(next() % static_cast<std::uint64_t>(digits + 2));  // > digits: none
        std::string text;
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + next() % 10);
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        const double amount = ParseAmount(text);
        ASSERT_EQ(0, std::memcmp(&expected, &amount, sizeof amount)) << text;
    }
}

TEST(StatementFields, ParseDate) {
    // Two-digit years follow the conversion's window, which on Windows is
    // the machine's; the rows hold the portable conversion's.
    OleDateFromFieldsSeam::Override portableDates(&PortableOleDateFromFields);
    struct Row {
        const char* text;
        double date;
    };
    // clang-format off
    const Row rows[] = {
        {"01/02/2006", kFirstFeb2006},
        {"2006-02-01", kFirstFeb2006},
        {"\"01/02/2006", kFirstFeb2006},     // a quote before the day is passed over
        {"\"2006-02-01", kFirstFeb2006},
        {"01/02/2006 10:30", kFirstFeb2006}, // the time is not read
        {"1/2/2006", kFirstFeb2006},
        {"01//02///2006", kFirstFeb2006},    // runs of separators count as one
        {"/01/02/2006/", kFirstFeb2006},
        {"01/02/06", kFirstFeb2006},         // two-digit years: 2000-2029
        {"01/02/99", 36192},                 // ... and 1930-1999
        {"31/12/1899", 1},
        {"31/04/2006", 38838},               // 31 April runs on to 1 May
        {"29/02/2008", 39507},
        // On or before 30 December 1899 day first: read again year first,
        // where the whole text is the year's token.
        {"30/12/1899", 11322},               // 30 December 1930
        {"01/01/1800", 36892},               // 1 January 2001
        {"", 0},
        {"   ", 0},
        {"2006-02", 0},
        {"00/02/2006", 0},                   // no day 0 or month 0
        {"01/00/2006", 0},
        {"2006-00-01", 0},
        {"32/01/2006", 0},
        {"01/13/2006", 0},
        {"2006-13-01", 0},
        {"01/02/10000", 36923},              // refused day first; year first the year is 1: 2001
        {"-1/02/2006", 0},
        {"abc", 0},
        {"01-02-2006", 0},                   // day first with dashes is year 1, day 2006
        {"99999999999/1/1", 0},
        {"01/02/2006/extra", kFirstFeb2006},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].text);
        EXPECT_EQ(rows[i].date, ParseDate(rows[i].text));
    }
}

// The two written forms, DD/MM/YYYY and YYYY-MM-DD, read as any other text
// does: the same text with one more separator behind it, which no reading
// takes as a component, gives the same date, for days and months in and out
// of range and years around the two-digit window and the epoch.
TEST(StatementFields, WrittenDatesReadAsAnyOtherText) {
    char written[16];
    for (const int year : {0, 1, 29, 30, 99, 100, 1899, 1900, 2006, 2024, 9999}) {
        for (int month = 0; month <= 19; ++month) {
            for (int day = 0; day <= 39; ++day) {
                std::snprintf(written, sizeof written, "%02d/%02d/%04d", day, month, year);
                ASSERT_EQ(ParseDate(std::string(written) + "/"), ParseDate(written)) << written;
                std::snprintf(written, sizeof written, "%04d-%02d-%02d", year, month, day);
                ASSERT_EQ(ParseDate(std::string(written) + "-"), ParseDate(written)) << written;
            }
        }
    }
}

}  // namespace
}  // namespace paylode
