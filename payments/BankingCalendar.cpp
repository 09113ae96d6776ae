/*
 * The banking calendar: the holiday rules as one table lookup per day, the
 * next crediting date, and the processing-date checks with their messages.
 */
#include "payments/BankingCalendar.h"

#include <cmath>
#include <string>
#include <utility>

#include "common/HResult.h"
#include "common/LocalClock.h"
#include "common/OleDate.h"

namespace paylode {

namespace {

enum Weekday { kSunday, kMonday, kTuesday, kWednesday, kThursday, kFriday, kSaturday };

constexpr int kMaxDaysAhead = kMaxProcessingDaysAhead;

struct DayRule {
    bool banking;
    int daysToNext;
    int reason;
};

constexpr DayRule kBanking{true, 0, kBankingDay};
constexpr DayRule Holiday(int daysToNext) { return {false, daysToNext, kBankHoliday}; }
constexpr DayRule Weekend(int daysToNext) { return {false, daysToNext, kWeekend}; }

// 25 to 28 December by day of the week (Sunday first): Christmas Day, Boxing
// Day and their substitutes, with how far the first banking day after them is.
// clang-format off
constexpr DayRule kChristmasRules[4][7] = {
    {Weekend(3), Holiday(2), Holiday(2), Holiday(2), Holiday(4), Holiday(4), Weekend(4)},  // 25th
    {Weekend(3), Holiday(2), Holiday(1), Holiday(1), Holiday(1), Holiday(3), Weekend(3)},  // 26th
    {Weekend(2), Holiday(2), Holiday(1), kBanking, kBanking, kBanking, Weekend(2)},       // 27th
    {Weekend(1), Holiday(1), Holiday(1), kBanking, kBanking, kBanking, Weekend(2)},       // 28th
};
// clang-format on

// The whole day of a date: its fraction (the time of day) dropped. Toward
// zero, because before the epoch the day part of an OLE automation date is
// negative while its time of day still counts forwards. False for values
// that are no date at all (not a number, or outside 100 to 9999).
bool WholeDay(double date, double* day) {
    if (!(date > -657435.0 && date < 2958466.0)) return false;
    *day = std::trunc(date);
    return true;
}

double WholeDayOrRefuse(double date) {
    double day = 0;
    RequireArgument(WholeDay(date, &day));
    return day;
}

// The calendar fields of a whole day, which always convert.
DateFields FieldsOfDay(double day) {
    DateFields fields;
    if (!FieldsFromOleDate(day, &fields)) ThrowHResult(kInvalidArg);
    return fields;
}

// The first holiday rule that matches the day, else the general weekday and
// weekend rule.
DayRule RuleForDay(double day) {
    const DateFields fields = FieldsOfDay(day);
    const int weekday = fields.dayOfWeek;
    switch (fields.month) {
    case 1:
        if (fields.day == 1) return Holiday(weekday == kSunday ? 2 : weekday == kSaturday ? 3 : 1);
        if (fields.day == 2) {
            if (weekday == kSaturday || weekday == kSunday) return Holiday(2);
            if (weekday == kMonday) return Holiday(1);
        }
        break;
    case 3:
    case 4: {
        const double easter = GetEasterSunday(fields.year);
        if (day == easter - 2) return Holiday(4);  // Good Friday
        if (day == easter + 1) return Holiday(1);  // Easter Monday
        break;
    }
    case 5:  // early May and spring bank holidays: the first and last Mondays
        if (weekday == kMonday) return fields.day >= 8 && fields.day <= 24 ? kBanking : Holiday(1);
        break;
    case 8:  // summer bank holiday: the last Monday
        if (weekday == kMonday) return fields.day >= 25 ? Holiday(1) : kBanking;
        break;
    case 12:
        if (fields.day >= 25 && fields.day <= 28) return kChristmasRules[fields.day - 25][weekday];
        break;
    default: break;
    }
    if (weekday == kSaturday) return Weekend(2);
    if (weekday == kSunday) return Weekend(1);
    return kBanking;
}

// The rule for a date, or false when the value is no date.
bool RuleForDate(double date, DayRule* rule) {
    double day = 0;
    if (!WholeDay(date, &day)) return false;
    *rule = RuleForDay(day);
    return true;
}

void ShowWarning(WindowHandle owner, const char* caption, std::string text) {
    ShowMessageBox({owner, caption, std::move(text), MessageIcon::Warning, MessageButtons::Ok});
}

}  // namespace

double GetToday() {
    const DateFields now = ReadLocalClock();
    double today = 0;
    if (!OleDateFromFields(now.year, now.month, now.day, now.hour, now.minute, now.second, &today)) {
        ThrowHResult(kFail);
    }
    return today;
}

bool IsWeekday(double date) {
    const int weekday = FieldsOfDay(WholeDayOrRefuse(date)).dayOfWeek;
    return weekday >= kMonday && weekday <= kFriday;
}

double GetEasterSunday(int year) {
    RequireArgument(year >= 1 && year <= 9999);
    const int golden = year % 19 + 1;
    const int century = year / 100 + 1;
    const int skippedLeapDays = 3 * century / 4 - 12;
    const int moonCorrection = (8 * century + 5) / 25 - 5;
    const int sunday = 5 * year / 4 - skippedLeapDays - 10;
    int epact = (11 * golden + 20 + moonCorrection - skippedLeapDays) % 30;
    if (epact < 0) epact += 30;
    if ((epact == 25 && golden > 11) || epact == 24) ++epact;
    int fullMoon = 44 - epact;  // day of March
    if (fullMoon < 21) fullMoon += 30;
    const int easter = fullMoon + 7 - (sunday + fullMoon) % 7;
    return easter > 31 ? OleDateOfDay(year, 4, easter - 31) : OleDateOfDay(year, 3, easter);
}

bool IsBankingDay(double date, int* daysToNext, int* reason) {
    RequireArgument(daysToNext != nullptr && reason != nullptr);
    *daysToNext = 0;
    *reason = kBankingDay;
    const DayRule rule = RuleForDay(WholeDayOrRefuse(date));
    *daysToNext = rule.daysToNext;
    *reason = rule.reason;
    return rule.banking;
}

double GetNextCreditingDate(double start) {
    double startDay = 0;
    if (!WholeDay(start, &startDay)) return start;
    const int weekday = FieldsOfDay(startDay).dayOfWeek;
    const int ahead = weekday == kThursday || weekday == kFriday ? 4 : weekday == kSaturday ? 3 : 2;
    const double provisionalEnd = start + ahead;

    // Bank holidays in the window push the end on; weekends are already
    // allowed for by the window's length. A holiday on a weekend still counts.
    double endDay = 0;
    if (!WholeDay(provisionalEnd, &endDay)) return start;
    int holidays = 0;
    for (double day = startDay + 1; day <= endDay; ++day) {
        const DayRule rule = RuleForDay(day);
        if (!rule.banking && rule.reason != kWeekend) ++holidays;
    }

    double candidate = provisionalEnd + holidays;
    for (int test = 0; test < 3; ++test) {
        DayRule rule{};
        if (!RuleForDate(candidate, &rule)) return start;
        if (rule.banking) return candidate;
        candidate += rule.daysToNext;
    }
    return start;
}

bool ValidateProcessingDate(double date, WindowHandle owner) {
    const double day = WholeDayOrRefuse(date);
    if (WholeDayOrRefuse(GetToday()) > day) {
        ShowWarning(owner, "Invalid Banking Date Specified",
                    "The processing date you specify for payments MUST be on or after the current system date.");
        return false;
    }
    int daysToNext = 0;
    int reason = kBankingDay;
    if (IsBankingDay(day, &daysToNext, &reason)) return true;

    std::string text = reason == kBankHoliday
                           ? "The date you specified falls on a Bank holiday. Try advancing the date \r\n"
                           : "The date you specified falls on a weekend. Try advancing the date \r\n";
    text += std::to_string(daysToNext);
    text += daysToNext == 1 ? " day to the next likely Banking Day." : " days to the next likely Banking Day.";
    ShowWarning(owner, "Non-Banking Date Specified", std::move(text));
    return false;
}

bool IsProcessingDateTooFar(double date, WindowHandle owner) {
    const double day = WholeDayOrRefuse(date);
    if (day <= WholeDayOrRefuse(GetToday()) + kMaxDaysAhead) return false;
    ShowWarning(owner, "Invalid Processing Date Specified",
                "The processing date specified is too far in the future.\r"
                "Processing dates can be at most 45 days after today's date.");
    return true;
}

}  // namespace paylode
