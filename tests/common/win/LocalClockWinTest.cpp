// Under Wine: the local clock and today's date read from the platform's
// local time, to the second.
#include <gtest/gtest.h>

#include <cmath>

#include "common/LocalClock.h"
#include "common/win/Platform.h"
#include "payments/BankingCalendar.h"

namespace paylode {
namespace {

double PlatformNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    double date = 0;
    EXPECT_NE(0, SystemTimeToVariantTime(&now, &date));
    return date;
}

TEST(LocalClock, ThePlatformClockIsTheLocalTime) {
    SYSTEMTIME before{};
    GetLocalTime(&before);
    const DateFields now = ReadPlatformLocalClock();
    SYSTEMTIME after{};
    GetLocalTime(&after);
    // Read twice around it, so that a change of day in between shows.
    ASSERT_EQ(before.wDay, after.wDay) << "the day changed during the test; run it again";
    EXPECT_EQ(before.wYear, now.year);
    EXPECT_EQ(before.wMonth, now.month);
    EXPECT_EQ(before.wDay, now.day);
    EXPECT_EQ(before.wDayOfWeek, now.dayOfWeek);
    const int seconds = now.hour * 3600 + now.minute * 60 + now.second;
    EXPECT_GE(seconds, before.wHour * 3600 + before.wMinute * 60 + before.wSecond);
    EXPECT_LE(seconds, after.wHour * 3600 + after.wMinute * 60 + after.wSecond);
}

TEST(LocalClock, TodayIsNowToTheSecond) {
    const double before = PlatformNow();
    const double today = GetToday();
    const double after = PlatformNow();
    EXPECT_GE(today, before - 1.0 / 86400) << before;
    EXPECT_LE(today, after + 1.0 / 86400) << after;
    // Whole seconds: the fraction of the day is a number of seconds.
    const double seconds = (today - std::floor(today)) * 86400;
    EXPECT_NEAR(std::round(seconds), seconds, 1e-3);
}

TEST(LocalClock, AReplacedClockIsReadInstead) {
    DateFields fixed;
    fixed.year = 2024;
    fixed.month = 6;
    fixed.day = 12;
    fixed.dayOfWeek = 3;
    fixed.hour = 12;
    {
        ScopedLocalClock clock(fixed);
        EXPECT_EQ(45455.5, GetToday());
    }
    EXPECT_GT(std::fabs(GetToday() - 45455.5), 1.0) << "the platform clock is back";
}

}  // namespace
}  // namespace paylode
