// Under Wine: the portable OLE automation date conversions against the
// platform's own SystemTimeToVariantTime and VariantTimeToSystemTime, for
// every day from 1900 to 2200, with and without a time of day.
//
// The platform rounds the time of day to the nearest second. When that
// rounding carries into the next day, Wine's VariantTimeToSystemTime gives
// the next day's date with the previous day's day of the week, so fractions
// within half a second of midnight are left out of the comparison; the
// portable rule for them (the next day, its own day of the week) is checked
// in the portable suite.
//
// Midnights must match exactly. A time of day may differ in the last bits of
// the double (the 64-bit platform sums the time fields in another order), so
// dates with a time of day match to within a ten-thousandth of a second,
// far below the one second that a wrong field would make.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>

#include "common/OleDate.h"
#include "common/win/Platform.h"

namespace paylode {
namespace {

constexpr double kSecond = 1.0 / 86400;

// Times of day as a fraction: quarters, single seconds and odd values that
// the platform rounds to the second, none within half a second of midnight.
// clang-format off
const double kFractions[] = {
    0.25, 0.5, 0.75,
    1 * kSecond,                          // 00:00:01
    (12 * 3600 + 34 * 60 + 56) * kSecond,  // 12:34:56
    86399 * kSecond,                       // 23:59:59
    0.123456,                              // 02:57:46.6, rounds up
    0.0000062,                             // 0.54 s, rounds up to 00:00:01
    86399.4 * kSecond,                     // rounds down to 23:59:59
};
// clang-format on

// Times of day as fields, for the other direction.
const int kTimes[][3] = {{0, 0, 1}, {6, 0, 0}, {12, 0, 0}, {18, 0, 0}, {12, 34, 56}, {23, 59, 59}, {7, 5, 3}};

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::string Describe(const SYSTEMTIME& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u (%u) %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wDayOfWeek,
                  t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::string Describe(const DateFields& f) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d (%d) %02d:%02d:%02d", f.year, f.month, f.day, f.dayOfWeek, f.hour,
                  f.minute, f.second);
    return text;
}

bool Same(const SYSTEMTIME& t, const DateFields& f) {
    return t.wYear == f.year && t.wMonth == f.month && t.wDay == f.day && t.wDayOfWeek == f.dayOfWeek &&
           t.wHour == f.hour && t.wMinute == f.minute && t.wSecond == f.second;
}

// Counts mismatches and reports the first few.
class Mismatches {
public:
    void Add(const std::string& what) {
        if (++count_ <= 10) ADD_FAILURE() << what;
    }
    int Count() const { return count_; }

private:
    int count_ = 0;
};

void CompareToFields(double date, Mismatches* mismatches) {
    SYSTEMTIME platform{};
    DateFields portable;
    const bool platformOk = VariantTimeToSystemTime(date, &platform) != 0;
    const bool portableOk = PortableFieldsFromOleDate(date, &portable);
    if (platformOk != portableOk || (platformOk && !Same(platform, portable))) {
        char value[32];
        std::snprintf(value, sizeof value, "%.9f", date);
        mismatches->Add(std::string(value) + ": platform " + (platformOk ? Describe(platform) : "refused") +
                        ", portable " + (portableOk ? Describe(portable) : "refused"));
    }
}

void CompareFromFields(int year, int month, int day, int hour, int minute, int second, Mismatches* mismatches) {
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    double platform = -1;
    double portable = -1;
    const bool platformOk = SystemTimeToVariantTime(&fields, &platform) != 0;
    const bool portableOk = PortableOleDateFromFields(year, month, day, hour, minute, second, &portable);
    const double tolerance = hour == 0 && minute == 0 && second == 0 ? 0 : kSecond / 10000;
    if (platformOk != portableOk || std::fabs(platform - portable) > tolerance) {
        char text[160];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d: platform %s %.17g, portable %s %.17g", year,
                      month, day, hour, minute, second, platformOk ? "ok" : "refused", platform,
                      portableOk ? "ok" : "refused", portable);
        mismatches->Add(text);
    }
}

template <typename Visit>
void ForEveryDay(Visit visit) {
    for (int year = 1900; year <= 2200; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= DaysInMonth(year, month); ++day) visit(year, month, day);
        }
    }
}

TEST(OleDatePlatform, EveryDayFromFieldsAsThePlatform) {
    Mismatches mismatches;
    int days = 0;
    ForEveryDay([&](int year, int month, int day) {
        ++days;
        CompareFromFields(year, month, day, 0, 0, 0, &mismatches);
    });
    EXPECT_EQ(109938, days);  // 1 January 1900 to 31 December 2200
    EXPECT_EQ(0, mismatches.Count());
}

TEST(OleDatePlatform, EveryDayToFieldsAsThePlatform) {
    Mismatches mismatches;
    const double first = OleDateOfDay(1900, 1, 1);
    const double last = OleDateOfDay(2200, 12, 31);
    EXPECT_EQ(2.0, first);
    for (double date = first; date <= last; ++date) CompareToFields(date, &mismatches);
    EXPECT_EQ(0, mismatches.Count());
}

TEST(OleDatePlatform, EveryDayWithATimeOfDayFromFieldsAsThePlatform) {
    Mismatches mismatches;
    ForEveryDay([&](int year, int month, int day) {
        for (const auto& time : kTimes) CompareFromFields(year, month, day, time[0], time[1], time[2], &mismatches);
    });
    EXPECT_EQ(0, mismatches.Count());
}

TEST(OleDatePlatform, EveryDayWithATimeOfDayToFieldsAsThePlatform) {
    Mismatches mismatches;
    const double first = OleDateOfDay(1900, 1, 1);
    const double last = OleDateOfDay(2200, 12, 31);
    for (double date = first; date <= last; ++date) {
        for (double fraction : kFractions) CompareToFields(date + fraction, &mismatches);
    }
    EXPECT_EQ(0, mismatches.Count());
}

TEST(OleDatePlatform, TheEdgesOfTheRangeAsThePlatform) {
    Mismatches mismatches;
    const double dates[] = {-657434, -657435, 2958465, 2958465.5, 2958466, 0, 1, -1, -1.5, -0.5, 59, 60, 61};
    for (double date : dates) CompareToFields(date, &mismatches);
    const int fields[][3] = {{100, 1, 1}, {9999, 12, 31}, {2006, 2, 29}, {2000, 2, 29}, {1900, 2, 28}, {1900, 3, 1}};
    for (const auto& f : fields) CompareFromFields(f[0], f[1], f[2], 0, 0, 0, &mismatches);
    EXPECT_EQ(0, mismatches.Count());
}

// The component converts through the platform on Windows: the same answers
// as SystemTimeToVariantTime and VariantTimeToSystemTime even where the
// platform's two-digit-year window or its rounding differ from the portable
// code.
TEST(OleDatePlatform, TheComponentsConversionIsThePlatforms) {
    const int fields[][3] = {{30, 1, 1}, {49, 6, 15}, {50, 1, 1}, {2024, 2, 29}, {2006, 0, 1}, {2006, 4, 31}};
    for (const auto& f : fields) {
        SCOPED_TRACE(testing::Message() << f[0] << "-" << f[1] << "-" << f[2]);
        SYSTEMTIME fieldsIn{};
        fieldsIn.wYear = static_cast<WORD>(f[0]);
        fieldsIn.wMonth = static_cast<WORD>(f[1]);
        fieldsIn.wDay = static_cast<WORD>(f[2]);
        double platform = -1, component = -2;
        ASSERT_TRUE(SystemTimeToVariantTime(&fieldsIn, &platform));
        ASSERT_TRUE(OleDateFromFields(f[0], f[1], f[2], 0, 0, 0, &component));
        EXPECT_EQ(platform, component);
    }
    for (double date : {38749.999999, 45000.123456, -1.5, 2.75}) {
        SCOPED_TRACE(date);
        SYSTEMTIME platform{};
        DateFields component;
        ASSERT_TRUE(VariantTimeToSystemTime(date, &platform));
        ASSERT_TRUE(FieldsFromOleDate(date, &component));
        EXPECT_TRUE(Same(platform, component)) << Describe(platform) << " / " << Describe(component);
    }
    // Values out of range or not numbers are refused, whatever the platform
    // would make of them.
    DateFields none;
    EXPECT_FALSE(FieldsFromOleDate(std::nan(""), &none));
    EXPECT_FALSE(FieldsFromOleDate(2958466.0, &none));
    double date = 0;
    EXPECT_FALSE(OleDateFromFields(-1, 1, 1, 0, 0, 0, &date));
    EXPECT_FALSE(OleDateFromFields(2024, 1, 1, 24, 0, 0, &date));
}

}  // namespace
}  // namespace paylode
