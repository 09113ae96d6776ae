// The local clock seam: replaced clocks nest and give way again, and the
// platform's clock reads a plausible local time of this century.
#include "common/LocalClock.h"

#include <gtest/gtest.h>

namespace paylode {
namespace {

DateFields At(int year, int month, int day) {
    DateFields fields;
    fields.year = year;
    fields.month = month;
    fields.day = day;
    return fields;
}

TEST(LocalClock, ReplacedClocksNestAndTheOuterOneComesBack) {
    ScopedLocalClock outer(At(2024, 6, 12));
    {
        int reads = 0;
        ScopedLocalClock inner([&] {
            ++reads;
            return At(2020, 12, 23);
        });
        EXPECT_EQ(2020, ReadLocalClock().year);
        EXPECT_EQ(23, ReadLocalClock().day);
        EXPECT_EQ(2, reads);
    }
    EXPECT_EQ(12, ReadLocalClock().day);
}

TEST(LocalClock, ThePlatformClockReadsALocalTime) {
    const DateFields now = ReadLocalClock();
    EXPECT_GE(now.year, 2024);
    EXPECT_LT(now.year, 2100);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.dayOfWeek >= 0 && now.dayOfWeek <= 6);
    EXPECT_TRUE(now.hour >= 0 && now.hour <= 23 && now.minute >= 0 && now.minute <= 59);
    EXPECT_TRUE(now.second >= 0 && now.second <= 59);
    DateFields check;
    double date = 0;
    ASSERT_TRUE(OleDateFromFields(now.year, now.month, now.day, 0, 0, 0, &date));
    ASSERT_TRUE(FieldsFromOleDate(date, &check));
    EXPECT_EQ(check.dayOfWeek, now.dayOfWeek) << "the day of the week belongs to the date";
}

}  // namespace
}  // namespace paylode
