/*
 * OLE automation dates on Windows: the platform's SystemTimeToVariantTime
 * and VariantTimeToSystemTime, as the host and Windows itself convert them.
 */
#include "common/OleDate.h"

#include "common/win/Platform.h"

namespace paylode {

namespace {
bool Within(int value, int low, int high) { return value >= low && value <= high; }
}  // namespace

bool PlatformOleDateFromFields(int year, int month, int day, int hour, int minute, int second, double* result) {
    // The platform's fields are 16-bit and unsigned: a value that does not
    // fit is refused here rather than wrapped into another date.
    if (!Within(year, 0, 9999) || !Within(month, 0, 12) || !Within(day, 0, 31) || !Within(hour, 0, 23) ||
        !Within(minute, 0, 59) || !Within(second, 0, 59)) {
        return false;
    }
    SYSTEMTIME fields{};
    fields.wYear = static_cast<WORD>(year);
    fields.wMonth = static_cast<WORD>(month);
    fields.wDay = static_cast<WORD>(day);
    fields.wHour = static_cast<WORD>(hour);
    fields.wMinute = static_cast<WORD>(minute);
    fields.wSecond = static_cast<WORD>(second);
    double date = 0;
    if (!SystemTimeToVariantTime(&fields, &date)) return false;
    *result = date;
    return true;
}

bool PlatformFieldsFromOleDate(double date, DateFields* fields) {
    // Outside 1 January 100 to 31 December 9999, and for a value that is no
    // number at all, there is no date; not every platform refuses them.
    if (!(date > -657435.0 && date < 2958466.0)) return false;
    SYSTEMTIME converted{};
    if (!VariantTimeToSystemTime(date, &converted)) return false;
    fields->year = converted.wYear;
    fields->month = converted.wMonth;
    fields->day = converted.wDay;
    fields->dayOfWeek = converted.wDayOfWeek;
    fields->hour = converted.wHour;
    fields->minute = converted.wMinute;
    fields->second = converted.wSecond;
    return true;
}

}  // namespace paylode
