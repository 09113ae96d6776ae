/*
 * OLE automation dates to and from calendar fields, portably (see
 * OleDate.h). The day count uses the proleptic Gregorian calendar
 * throughout.
 */
#include "common/OleDate.h"

#include <cmath>
#include <cstdio>

namespace paylode {

namespace {

constexpr long kFirstDay = -657434;       // 1 January 100
constexpr long kLastDay = 2958465;        // 31 December 9999
constexpr long kEpochFromCivil = 693899;  // days from 1 March of year 0 to 30 December 1899

// Days since 30 December 1899 of a proleptic Gregorian date (month 1-12,
// day counted from the first of the month, so any day value works).
long DayNumber(long year, long month, long day) {
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - kEpochFromCivil + (day - 1);
}

void CivilFromDayNumber(long days, DateFields* fields) {
    const long z = days + kEpochFromCivil;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long dayOfEra = z - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long shiftedMonth = (5 * dayOfYear + 2) / 153;
    fields->day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    fields->month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    fields->year = static_cast<int>(yearOfEra + era * 400 + (fields->month <= 2 ? 1 : 0));
    const long weekday = (days + 6) % 7;  // day 0 was a Saturday
    fields->dayOfWeek = static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}

}  // namespace

bool PortableOleDateFromFields(int year, int month, int day, int hour, int minute, int second, double* result) {
    if (year < 0 || year > 9999 || month < 0 || month > 12 || day < 0 || day > 31) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
    if (year < 30) {
        year += 2000;
    } else if (year < 100) {
        year += 1900;
    }
    if (month == 0) {
        month = 12;
        --year;
    }
    const long days = DayNumber(year, month, day);
    if (days < kFirstDay || days > kLastDay) return false;
    const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before the epoch the time of day still counts forwards from the day.
    *result = days >= 0 ? days + time : days - time;
    return true;
}

bool PortableFieldsFromOleDate(double date, DateFields* fields) {
    if (!(date > kFirstDay - 1.0 && date < kLastDay + 1.0)) return false;  // NaN fails too
    long days = static_cast<long>(date);                                   // toward zero: the day part
    long seconds = std::lround(std::fabs(date - static_cast<double>(days)) * 86400.0);
    if (seconds >= 86400) {  // rounded up to midnight: the next day begins
        seconds = 0;
        days += date >= 0 ? 1 : -1;
        if (days < kFirstDay || days > kLastDay) return false;
    }
    CivilFromDayNumber(days, fields);
    fields->hour = static_cast<int>(seconds / 3600);
    fields->minute = static_cast<int>(seconds / 60 % 60);
    fields->second = static_cast<int>(seconds % 60);
    return true;
}

double OleDateOfDay(int year, int month, int day) { return static_cast<double>(DayNumber(year, month, day)); }

std::optional<double> ParseIsoDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int part = 0; part < 3; ++part) {
        for (std::size_t i = starts[part]; i < starts[part] + lengths[part]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            parts[part] = parts[part] * 10 + (text[i] - '0');
        }
    }
    const int year = parts[0];
    const int month = parts[1];
    const int day = parts[2];
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    // A day past the month's end would run on into the next month: refuse it.
    const double date = OleDateOfDay(year, month, day);
    DateFields fields;
    if (!FieldsFromOleDate(date, &fields) || fields.month != month || fields.day != day) return std::nullopt;
    return date;
}

std::string FormatIsoDate(double date) {
    // Only the day counts: its day part, never a time rounded past midnight.
    DateFields fields;
    if (!FieldsFromOleDate(std::trunc(date), &fields)) return "?";
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", fields.year, fields.month, fields.day);
    return text;
}

}  // namespace paylode
