/*
 * The local clock without Windows: the C library's local time, which follows
 * the machine's time zone (TZ) as the platform's local time does.
 */
#include "common/LocalClock.h"

#include <ctime>

#include "common/HResult.h"

namespace paylode {

DateFields ReadPlatformLocalClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) ThrowHResult(kFail);
    DateFields fields;
    fields.year = local.tm_year + 1900;
    fields.month = local.tm_mon + 1;
    fields.day = local.tm_mday;
    fields.dayOfWeek = local.tm_wday;
    fields.hour = local.tm_hour;
    fields.minute = local.tm_min;
    // A leap second reads as the last second of its minute.
    fields.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return fields;
}

}  // namespace paylode
