/*
 * The local clock on Windows: the platform's local time, to the second.
 */
#include "common/LocalClock.h"

#include "common/win/Platform.h"

namespace paylode {

DateFields ReadPlatformLocalClock() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    DateFields fields;
    fields.year = now.wYear;
    fields.month = now.wMonth;
    fields.day = now.wDay;
    fields.dayOfWeek = now.wDayOfWeek;
    fields.hour = now.wHour;
    fields.minute = now.wMinute;
    fields.second = now.wSecond;
    return fields;
}

}  // namespace paylode
