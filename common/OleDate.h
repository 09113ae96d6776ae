/*
 * OLE automation dates: a double counting days since 30 December 1899, with
 * the time of day as the fraction (the day part of a date before the epoch is
 * negative while its time of day still counts forwards: -1.5 is 29 December
 * 1899 at noon). Calendar dates are local dates of the machine.
 *
 * The two conversions are a seam (common/Seam.h): on Windows they are the
 * platform's SystemTimeToVariantTime and VariantTimeToSystemTime, which the
 * host and Windows itself use; natively they are the portable code below,
 * which follows the platform's rules, so that the core computes the same
 * dates in both builds:
 *   - from fields: two-digit years 0-29 mean 2000-2029 and 30-99 mean
 *     1930-1999; month 0 is December of the year before and day 0 the last day
 *     of the month before; a day past the month's end runs on into the next
 *     month; a month above 12, a day above 31, a year above 9999, a negative
 *     field or a time field out of range is refused;
 *   - to fields: the time of day is rounded to the nearest second; dates from
 *     1 January 100 to 31 December 9999 convert.
 */
#pragma once

#include <optional>
#include <string>

#include "common/Seam.h"

namespace paylode {

struct DateFields {
    int year = 0;
    int month = 0;      // 1-12
    int day = 0;        // 1-31
    int dayOfWeek = 0;  // 0 Sunday ... 6 Saturday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The portable conversions, by the rules above; compiled in both builds, so
// that they can be checked against the platform's under Wine.
bool PortableOleDateFromFields(int year, int month, int day, int hour, int minute, int second, double* result);
bool PortableFieldsFromOleDate(double date, DateFields* fields);

// The platform's conversions on Windows; the portable ones natively.
bool PlatformOleDateFromFields(int year, int month, int day, int hour, int minute, int second, double* result);
bool PlatformFieldsFromOleDate(double date, DateFields* fields);

using OleDateFromFieldsSeam = Seam<&PlatformOleDateFromFields>;
using FieldsFromOleDateSeam = Seam<&PlatformFieldsFromOleDate>;

// Year, month, day and time of day to an OLE automation date, by the rules
// above. False, and `result` untouched, when the fields are refused.
inline bool OleDateFromFields(int year, int month, int day, int hour, int minute, int second, double* result) {
    return OleDateFromFieldsSeam::Call(year, month, day, hour, minute, second, result);
}

// An OLE automation date to its calendar fields, by the rules above. False,
// and `fields` untouched, outside the convertible range.
inline bool FieldsFromOleDate(double date, DateFields* fields) { return FieldsFromOleDateSeam::Call(date, fields); }

// Convenience for whole days: the date at midnight; the fields are taken as
// given (no two-digit years, no rolling over): for valid dates only.
double OleDateOfDay(int year, int month, int day);

// A calendar date YYYY-MM-DD from 1900-01-01 to 9999-12-31 as an OLE
// automation date at midnight; nothing for any other text.
std::optional<double> ParseIsoDate(const std::string& text);

// The calendar date of an OLE automation date, YYYY-MM-DD.
std::string FormatIsoDate(double date);

}  // namespace paylode
