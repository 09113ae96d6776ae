// The banking calendar: Easter, every holiday rule, the next crediting date,
// and the processing-date checks with their exact messages against a set
// clock.
#include "payments/BankingCalendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/FileSystem.h"
#include "common/HResult.h"
#include "common/LocalClock.h"
#include "common/OleDate.h"
#include "payments/BankClosures.h"

namespace paylode {
namespace {

struct Ymd {
    int year, month, day;
};

double Day(const Ymd& date) { return OleDateOfDay(date.year, date.month, date.day); }

std::string Iso(double date) {
    DateFields fields;
    if (!FieldsFromOleDate(date, &fields)) return "no date";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", fields.year, fields.month, fields.day,
                  fields.hour, fields.minute, fields.second);
    return text;
}

// A clock standing still at the given moment.
DateFields Moment(const Ymd& date, int hour, int minute, int second) {
    DateFields fields;
    EXPECT_TRUE(FieldsFromOleDate(Day(date), &fields));
    fields.hour = hour;
    fields.minute = minute;
    fields.second = second;
    return fields;
}

TEST(BankingCalendar, EasterSunday) {
    struct Row {
        int year;
        Ymd easter;
    };
    // clang-format off
    const Row rows[] = {
        {2012, {2012, 4, 8}},  {2013, {2013, 3, 31}}, {2016, {2016, 3, 27}}, {2019, {2019, 4, 21}},
        {2024, {2024, 3, 31}}, {2025, {2025, 4, 20}}, {1900, {1900, 4, 15}}, {2000, {2000, 4, 23}},
        {2008, {2008, 3, 23}},  // early
        {1954, {1954, 4, 18}},  // the epact corrections: 24 ...
        {1981, {1981, 4, 19}},  // ... and 25 with a golden number above 11
        {2049, {2049, 4, 18}},  {1818, {1818, 3, 22}},  // earliest possible
        {2038, {2038, 4, 25}},  // latest possible
        {2285, {2285, 3, 22}},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Day(rows[i].easter), GetEasterSunday(rows[i].year)) << Iso(GetEasterSunday(rows[i].year));
    }
}

TEST(BankingCalendar, EasterSundayRefusesYearsOutsideTheCalendar) {
    EXPECT_THROW(GetEasterSunday(0), CFailure);
    EXPECT_THROW(GetEasterSunday(10000), CFailure);
}

TEST(BankingCalendar, EveryHolidayRuleAndTheGeneralRules) {
    struct Row {
        Ymd date;
        bool banking;
        int days, reason;
    };
    // clang-format off
    const Row rows[] = {
        // New Year's Day on a Sunday, a Saturday, a weekday; 2 January on a
        // Saturday, Sunday, Monday, and on a Tuesday (no rule); 3 January.
        {{2023, 1, 1}, false, 2, 1}, {{2022, 1, 1}, false, 3, 1}, {{2024, 1, 1}, false, 1, 1},
        {{2021, 1, 2}, false, 2, 1}, {{2022, 1, 2}, false, 2, 1}, {{2023, 1, 2}, false, 1, 1},
        {{2024, 1, 2}, true, 0, 0},  {{2022, 1, 3}, true, 0, 0},
        // Easter: Good Friday and Easter Monday in March and in April; the
        // weekend between is an ordinary weekend.
        {{2024, 3, 29}, false, 4, 1}, {{2024, 4, 1}, false, 1, 1}, {{2025, 4, 18}, false, 4, 1},
        {{2025, 4, 21}, false, 1, 1}, {{2024, 3, 31}, false, 1, 2}, {{2024, 3, 30}, false, 2, 2},
        {{2024, 3, 28}, true, 0, 0},  {{2024, 4, 2}, true, 0, 0},
        // May and August Mondays; a May Saturday falls to the weekend rule.
        {{2024, 5, 6}, false, 1, 1}, {{2024, 5, 27}, false, 1, 1}, {{2024, 5, 13}, true, 0, 0},
        {{2024, 5, 20}, true, 0, 0}, {{2024, 5, 4}, false, 2, 2},  {{2024, 8, 26}, false, 1, 1},
        {{2024, 8, 19}, true, 0, 0}, {{2024, 8, 31}, false, 2, 2},
        // Christmas Day, Sunday to Saturday.
        {{2022, 12, 25}, false, 3, 2}, {{2023, 12, 25}, false, 2, 1}, {{2018, 12, 25}, false, 2, 1},
        {{2019, 12, 25}, false, 2, 1}, {{2025, 12, 25}, false, 4, 1}, {{2020, 12, 25}, false, 4, 1},
        {{2021, 12, 25}, false, 4, 2},
        // Boxing Day, Sunday to Saturday.
        {{2021, 12, 26}, false, 3, 2}, {{2022, 12, 26}, false, 2, 1}, {{2023, 12, 26}, false, 1, 1},
        {{2018, 12, 26}, false, 1, 1}, {{2019, 12, 26}, false, 1, 1}, {{2025, 12, 26}, false, 3, 1},
        {{2020, 12, 26}, false, 3, 2},
        // 27 December, Sunday to Saturday.
        {{2020, 12, 27}, false, 2, 2}, {{2021, 12, 27}, false, 2, 1}, {{2022, 12, 27}, false, 1, 1},
        {{2023, 12, 27}, true, 0, 0},  {{2018, 12, 27}, true, 0, 0},  {{2019, 12, 27}, true, 0, 0},
        {{2025, 12, 27}, false, 2, 2},
        // 28 December, Sunday to Saturday; 29 December after a Saturday Christmas.
        {{2025, 12, 28}, false, 1, 2}, {{2020, 12, 28}, false, 1, 1}, {{2021, 12, 28}, false, 1, 1},
        {{2022, 12, 28}, true, 0, 0},  {{2023, 12, 28}, true, 0, 0},  {{2018, 12, 28}, true, 0, 0},
        {{2019, 12, 28}, false, 2, 2}, {{2021, 12, 29}, true, 0, 0},
        // Any other day.
        {{2024, 6, 12}, true, 0, 0}, {{2024, 2, 5}, true, 0, 0}, {{2024, 6, 15}, false, 2, 2},
        {{2024, 6, 16}, false, 1, 2},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        int days = -1;
        int reason = -1;
        EXPECT_EQ(rows[i].banking, IsBankingDay(Day(rows[i].date), &days, &reason));
        EXPECT_EQ(rows[i].days, days);
        EXPECT_EQ(rows[i].reason, reason);
    }
}

TEST(BankingCalendar, OnlyTheWholeDayCounts) {
    int days = -1;
    int reason = -1;
    EXPECT_FALSE(IsBankingDay(Day({2024, 3, 29}) + 0.75, &days, &reason));
    EXPECT_EQ(4, days);
    // The last second of the Thursday before Good Friday is still Thursday.
    EXPECT_TRUE(IsBankingDay(Day({2024, 3, 28}) + 86399.9 / 86400, &days, &reason));
    EXPECT_EQ(0, days);
    EXPECT_EQ(0, reason);
    EXPECT_TRUE(IsWeekday(Day({2024, 6, 14}) + 0.9999999)) << "Friday, not rounded into Saturday";
}

TEST(BankingCalendar, Weekdays) {
    const struct {
        Ymd date;
        bool weekday;
    } rows[] = {{{2024, 6, 10}, true},  {{2024, 6, 12}, true},  {{2024, 6, 14}, true},
                {{2024, 6, 15}, false}, {{2024, 6, 16}, false}, {{2024, 3, 29}, true}};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].weekday, IsWeekday(Day(rows[i].date)));
    }
}

TEST(BankingCalendar, NoDateIsRefused) {
    int days = 0;
    int reason = 0;
    EXPECT_THROW(IsBankingDay(std::nan(""), &days, &reason), CFailure);
    EXPECT_THROW(IsBankingDay(3e6, &days, &reason), CFailure);
    EXPECT_THROW(IsWeekday(-1e6), CFailure);
}

TEST(BankingCalendar, NextCreditingDate) {
    struct Row {
        Ymd start;
        double timeOfDay;
        Ymd expected;
    };
    // clang-format off
    const Row rows[] = {
        {{2024, 6, 10}, 0, {2024, 6, 12}},  // Monday: Wednesday
        {{2024, 6, 11}, 0, {2024, 6, 13}},  // Tuesday: Thursday
        {{2024, 6, 12}, 0, {2024, 6, 14}},  // Wednesday: Friday
        {{2024, 6, 13}, 0, {2024, 6, 17}},  // Thursday: Monday
        {{2024, 6, 14}, 0, {2024, 6, 18}},  // Friday: Tuesday
        {{2024, 6, 15}, 0, {2024, 6, 18}},  // Saturday: Tuesday
        {{2024, 6, 16}, 0, {2024, 6, 18}},  // Sunday: Tuesday
        // Christmas Day counted in the window; Saturday's hint reaches Tuesday.
        {{2020, 12, 23}, 0, {2020, 12, 29}},
        // Good Friday counted; Saturday, then Easter Monday: three tests.
        {{2024, 3, 27}, 0, {2024, 4, 2}},
        // New Year on a Saturday is counted although it is a weekend day.
        {{2021, 12, 30}, 0, {2022, 1, 5}},
        // The time of day is carried into the result.
        {{2024, 6, 12}, 0.4, {2024, 6, 14}},
        {{2020, 12, 23}, 0.75, {2020, 12, 29}},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const double next = GetNextCreditingDate(Day(rows[i].start) + rows[i].timeOfDay);
        EXPECT_DOUBLE_EQ(Day(rows[i].expected) + rows[i].timeOfDay, next) << Iso(next);
    }
}

TEST(BankingCalendar, NextCreditingDateIsABankingDayWithinTheWeekAfterEveryStart) {
    const double first = Day({1900, 1, 1});
    const double last = Day({2200, 12, 31});
    int failures = 0;
    for (double start = first; start <= last && failures < 10; ++start) {
        const double next = GetNextCreditingDate(start);
        int days = 0;
        int reason = 0;
        if (!IsBankingDay(next, &days, &reason) || next < start + 2 || next > start + 8) {
            ++failures;
            ADD_FAILURE() << Iso(start) << " gives " << Iso(next);
        }
    }
}

TEST(BankingCalendar, NextCreditingDateBeyondTheCalendarIsTheStart) {
    const double start = Day({9999, 12, 30}) + 0.5;
    EXPECT_EQ(start, GetNextCreditingDate(start));
    EXPECT_TRUE(std::isnan(GetNextCreditingDate(std::nan(""))));
}

TEST(BankingCalendar, TodayIsTheLocalClockToTheSecond) {
    ScopedLocalClock clock(Moment({2024, 6, 12}, 10, 30, 15));
    EXPECT_DOUBLE_EQ(45455 + (10 * 3600 + 30 * 60 + 15) / 86400.0, GetToday());
}

TEST(BankingCalendar, ValidateProcessingDate) {
    const std::string past =
        "The processing date you specify for payments MUST be on or after the current system date.";
    const std::string weekend = "The date you specified falls on a weekend. Try advancing the date \r\n";
    const std::string holiday = "The date you specified falls on a Bank holiday. Try advancing the date \r\n";
    struct Row {
        Ymd today;
        Ymd date;
        double timeOfDay;
        bool ok;
        std::string caption, text;
    };
    // clang-format off
    const Row rows[] = {
        {{2024, 6, 12}, {2024, 6, 12}, 0, true, "", ""},      // today, before the clock's time of day
        {{2024, 6, 12}, {2024, 6, 12}, 0.99, true, "", ""},
        {{2024, 6, 12}, {2024, 7, 31}, 0, true, "", ""},      // far ahead is the other check's business
        {{2024, 6, 12}, {2024, 6, 11}, 0, false, "Invalid Banking Date Specified", past},
        {{2024, 6, 12}, {2024, 6, 11}, 0.9999, false, "Invalid Banking Date Specified", past},
        {{2024, 6, 12}, {2023, 12, 25}, 0, false, "Invalid Banking Date Specified", past},  // past before holiday
        {{2024, 6, 12}, {2024, 6, 15}, 0, false, "Non-Banking Date Specified",
         weekend + "2 days to the next likely Banking Day."},
        {{2024, 6, 12}, {2024, 6, 16}, 0, false, "Non-Banking Date Specified",
         weekend + "1 day to the next likely Banking Day."},
        {{2024, 3, 1}, {2024, 3, 29}, 0, false, "Non-Banking Date Specified",
         holiday + "4 days to the next likely Banking Day."},
        {{2024, 3, 1}, {2024, 4, 1}, 0.5, false, "Non-Banking Date Specified",
         holiday + "1 day to the next likely Banking Day."},
        {{2021, 12, 1}, {2022, 1, 1}, 0, false, "Non-Banking Date Specified",
         holiday + "3 days to the next likely Banking Day."},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        ScopedLocalClock clock(Moment(rows[i].today, 10, 30, 0));
        std::vector<MessageRequest> shown;
        ScopedMessageBoxHandler boxes([&](const MessageRequest& request) {
            shown.push_back(request);
            return MessageAnswer::Ok;
        });
        int owner = 0;
        EXPECT_EQ(rows[i].ok, ValidateProcessingDate(Day(rows[i].date) + rows[i].timeOfDay, &owner));
        if (rows[i].ok) {
            EXPECT_TRUE(shown.empty());
            continue;
        }
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ(&owner, shown[0].owner);
        EXPECT_EQ(rows[i].caption, shown[0].caption);
        EXPECT_EQ(rows[i].text, shown[0].text);
        EXPECT_EQ(MessageIcon::Warning, shown[0].icon);
        EXPECT_EQ(MessageButtons::Ok, shown[0].buttons);
    }
}

TEST(BankingCalendar, ProcessingDateAtMost45DaysAhead) {
    struct Row {
        Ymd date;
        double timeOfDay;
        bool tooFar;
    };
    // clang-format off
    const Row rows[] = {
        {{2024, 6, 12}, 0, false},    // today
        {{2024, 6, 1}, 0, false},     // the past is the other check's business
        {{2024, 7, 27}, 0, false},    // today + 45
        {{2024, 7, 27}, 0.99, false}, // ... late in the day
        {{2024, 7, 28}, 0, true},     // today + 46
        {{2025, 1, 1}, 0, true},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        ScopedLocalClock clock(Moment({2024, 6, 12}, 23, 59, 59));
        std::vector<MessageRequest> shown;
        ScopedMessageBoxHandler boxes([&](const MessageRequest& request) {
            shown.push_back(request);
            return MessageAnswer::Ok;
        });
        int owner = 0;
        EXPECT_EQ(rows[i].tooFar, IsProcessingDateTooFar(Day(rows[i].date) + rows[i].timeOfDay, &owner));
        if (!rows[i].tooFar) {
            EXPECT_TRUE(shown.empty());
            continue;
        }
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ(&owner, shown[0].owner);
        EXPECT_EQ("Invalid Processing Date Specified", shown[0].caption);
        EXPECT_EQ(
            "The processing date specified is too far in the future.\r"
            "Processing dates can be at most 45 days after today's date.",
            shown[0].text);
        EXPECT_EQ(MessageIcon::Warning, shown[0].icon);
        EXPECT_EQ(MessageButtons::Ok, shown[0].buttons);
    }
}

TEST(BankingCalendar, TheChecksReadTheClockAtEveryCall) {
    DateFields now = Moment({2024, 6, 12}, 23, 59, 59);
    ScopedLocalClock clock([&] { return now; });
    ScopedMessageBoxHandler boxes([](const MessageRequest&) { return MessageAnswer::Ok; });
    EXPECT_TRUE(ValidateProcessingDate(Day({2024, 6, 12}), nullptr));
    now = Moment({2024, 6, 13}, 0, 0, 1);  // past midnight with the dialog still open
    EXPECT_FALSE(ValidateProcessingDate(Day({2024, 6, 12}), nullptr));
    EXPECT_FALSE(IsProcessingDateTooFar(Day({2024, 7, 28}), nullptr));
}

// The table of bank closures: what its reader takes and refuses.
TEST(BankClosures, ReadsDatedReasonsAndRefusesAnyOtherLine) {
    const struct {
        const char* text;
        std::size_t days;  // read, or 0 with `error`
        const char* error;
    } rows[] = {
        {"# comment\r\n\r\n2028-01-03 New Year's Day, substitute day\r\n2022-06-03 Jubilee", 2, ""},
        {"2028-01-03 A\n2028-01-03 B\n", 0, "line 2 repeats an earlier date"},
        {"2028-02-30 No such day\n", 0, "line 1 does not start with a date YYYY-MM-DD"},
        {"2028-01-03\n", 0, "line 1 has no reason after one space"},
        {"2028-01-03  Two spaces\n", 0, "line 1 has no reason after one space"},
        {"x\n", 0, "line 1 does not start with a date YYYY-MM-DD"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        CBankClosures closures;
        std::string error;
        EXPECT_EQ(row.days != 0, closures.Parse(row.text, &error));
        EXPECT_EQ(row.error, error);
        EXPECT_EQ(row.days, closures.Days().size());
    }
    CBankClosures closures;
    ASSERT_TRUE(closures.Parse("2028-01-03 New Year's Day, substitute day\n", nullptr));
    ASSERT_NE(nullptr, closures.ReasonFor(OleDateOfDay(2028, 1, 3) + 0.75));
    EXPECT_EQ("New Year's Day, substitute day", *closures.ReasonFor(OleDateOfDay(2028, 1, 3)));
    EXPECT_EQ(nullptr, closures.ReasonFor(OleDateOfDay(2028, 1, 4)));
}

// A table file that cannot be had is no table, and one too large is never
// read into memory.
TEST(BankClosures, AFileThatCannotBeReadOrIsTooLargeIsNoTable) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("paylode-closures-" + std::to_string(std::rand()));
    std::filesystem::create_directories(folder);
    const struct {
        const char* name;
        std::uintmax_t bytes;  // of the file made, or 0 for none
        const char* why;
    } rows[] = {
        {"missing.txt", 0, " cannot be opened"},
        {"huge.txt", kMaxWholeFileBytes + 1, " is larger than 4 MiB"},
        {"largest.txt", kMaxWholeFileBytes, ""},  // read: its padding is no dated line
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::filesystem::path path = folder / row.name;
        if (row.bytes != 0) {
            std::ofstream(path, std::ios::binary) << "2028-01-03 A\n";
            std::filesystem::resize_file(path, row.bytes);
        }
        CBankClosures closures;
        std::string error;
        EXPECT_FALSE(closures.Load(path, &error));
        EXPECT_EQ(*row.why == '\0' ? "line 2 does not start with a date YYYY-MM-DD" : path.u8string() + row.why, error);
        EXPECT_TRUE(closures.Days().empty());
    }
    std::filesystem::remove_all(folder);
}

// Every shipped closure is a weekday that the computed rules call a banking
// day (a day they already close needs no line), and the table knows every
// substitute New Year Monday from 1995 to 2040, which the rules miss.
TEST(BankClosures, TheShippedTableAddsOnlyDaysTheRulesCallBankingDays) {
    CBankClosures closures;
    std::string error;
    ASSERT_TRUE(closures.Load(std::string(PAYLODE_MODULUS_TABLES_DIR) + "/" + kBankClosuresFileName, &error)) << error;
    for (const auto& [day, reason] : closures.Days()) {
        SCOPED_TRACE(FormatIsoDate(day) + " " + reason);
        int daysToNext = 0;
        int why = 0;
        EXPECT_TRUE(IsBankingDay(day, &daysToNext, &why));
        EXPECT_TRUE(IsWeekday(day));
    }
    for (int year = 1995; year <= 2040; ++year) {
        DateFields fields;
        ASSERT_TRUE(FieldsFromOleDate(OleDateOfDay(year, 1, 1), &fields));
        if (fields.dayOfWeek != 6) continue;  // Saturday
        EXPECT_NE(nullptr, closures.ReasonFor(OleDateOfDay(year, 1, 3))) << year;
    }
}

}  // namespace
}  // namespace paylode
