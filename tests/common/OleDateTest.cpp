// OLE automation dates: known values and the lenient field rules of the
// portable conversion (the native build's), and round trips through the
// conversion in force (the platform's under Wine). The day-by-day
// comparison of the two runs under Wine.
#include "common/OleDate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <iterator>
#include <limits>

namespace paylode {
namespace {

TEST(OleDate, FieldsToDate) {
    struct Row {
        int year, month, day;
        bool ok;
        double date;
    };
    // clang-format off
    const Row rows[] = {
        {1899, 12, 30, true, 0},      {1899, 12, 31, true, 1},     {1899, 12, 29, true, -1},
        {1900, 1, 1, true, 2},        {2006, 2, 1, true, 38749},   {2024, 3, 5, true, 45356},
        {9999, 12, 31, true, 2958465}, {100, 1, 1, true, -657434},
        {99, 1, 1, true, 36161},      // two-digit years: 1999
        {29, 1, 1, true, 47119},      // ... and 2029
        {30, 1, 1, true, 10959},      // ... and 1930
        {0, 1, 1, true, 36526},       // 2000
        {2006, 0, 1, true, 38687},    // month 0: December 2005
        {2006, 2, 0, true, 38748},    // day 0: 31 January
        {2006, 4, 31, true, 38838},   // 31 April runs on to 1 May
        {2006, 2, 30, true, 38778},   // 30 February: 2 March
        {2006, 13, 1, false, 0},      {2006, 2, 32, false, 0},     {10000, 1, 1, false, 0},
        {2006, -1, 1, false, 0},      {2006, 1, -1, false, 0},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        double date = -99;
        EXPECT_EQ(rows[i].ok, PortableOleDateFromFields(rows[i].year, rows[i].month, rows[i].day, 0, 0, 0, &date));
        EXPECT_EQ(rows[i].ok ? rows[i].date : -99, date);
    }
}

TEST(OleDate, TimeOfDayIsTheFraction) {
    double date = 0;
    ASSERT_TRUE(OleDateFromFields(1900, 1, 1, 18, 0, 0, &date));
    EXPECT_DOUBLE_EQ(2.75, date);
    ASSERT_TRUE(OleDateFromFields(1899, 12, 29, 12, 0, 0, &date));
    EXPECT_DOUBLE_EQ(-1.5, date) << "before the epoch the time still runs forwards";
    EXPECT_FALSE(OleDateFromFields(2000, 1, 1, 24, 0, 0, &date));
}

TEST(OleDate, DateToFields) {
    struct Row {
        double date;
        bool ok;
        int year, month, day, dayOfWeek, hour, minute, second;
    };
    // clang-format off
    const Row rows[] = {
        {0, true, 1899, 12, 30, 6, 0, 0, 0},
        {-1.5, true, 1899, 12, 29, 5, 12, 0, 0},
        {-0.5, true, 1899, 12, 30, 6, 12, 0, 0},
        {2.75, true, 1900, 1, 1, 1, 18, 0, 0},
        {38749, true, 2006, 2, 1, 3, 0, 0, 0},
        {45000.123456, true, 2023, 3, 15, 3, 2, 57, 47},  // rounded to the second
        {38749.999999, true, 2006, 2, 2, 4, 0, 0, 0},     // rounds up into the next day
        {-657434, true, 100, 1, 1, 5, 0, 0, 0},
        {2958465, true, 9999, 12, 31, 5, 0, 0, 0},
        {-657435, false, 0, 0, 0, 0, 0, 0, 0},
        {2958466, false, 0, 0, 0, 0, 0, 0, 0},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        DateFields fields;
        EXPECT_EQ(rows[i].ok, PortableFieldsFromOleDate(rows[i].date, &fields));
        EXPECT_EQ(rows[i].year, fields.year);
        EXPECT_EQ(rows[i].month, fields.month);
        EXPECT_EQ(rows[i].day, fields.day);
        EXPECT_EQ(rows[i].dayOfWeek, fields.dayOfWeek);
        EXPECT_EQ(rows[i].hour, fields.hour);
        EXPECT_EQ(rows[i].minute, fields.minute);
        EXPECT_EQ(rows[i].second, fields.second);
    }
    // Not a date, through either conversion.
    DateFields untouched;
    EXPECT_FALSE(PortableFieldsFromOleDate(std::nan(""), &untouched));
    EXPECT_FALSE(FieldsFromOleDate(std::nan(""), &untouched));
    EXPECT_FALSE(FieldsFromOleDate(std::numeric_limits<double>::infinity(), &untouched));
    EXPECT_EQ(0, untouched.year);
}

TEST(OleDate, EveryDayFrom1900To2200RoundTrips) {
    const double first = OleDateOfDay(1900, 1, 1);
    const double last = OleDateOfDay(2200, 12, 31);
    int expectedDayOfWeek = 1;  // 1 January 1900 was a Monday
    for (double date = first; date <= last; ++date) {
        DateFields fields;
        ASSERT_TRUE(FieldsFromOleDate(date, &fields)) << date;
        ASSERT_EQ(expectedDayOfWeek, fields.dayOfWeek) << date;
        double back = 0;
        ASSERT_TRUE(OleDateFromFields(fields.year, fields.month, fields.day, 0, 0, 0, &back)) << date;
        ASSERT_EQ(date, back);
        expectedDayOfWeek = (expectedDayOfWeek + 1) % 7;
    }
}

}  // namespace
}  // namespace paylode
