/*
 * The machine's local clock, as the banking calendar reads it.
 *
 * Every "today" of the component comes from here: the local date and time to
 * the second. On Windows the platform's local time is read; natively the C
 * library's. Tests and the `paylode` tool put a reader of their own in front
 * of it for as long as a ScopedLocalClock lives, so that dates can be checked
 * against a chosen today.
 */
#pragma once

#include "common/OleDate.h"
#include "common/Seam.h"

#include <utility>

namespace paylode {

// The platform's own clock: GetLocalTime on Windows, localtime_r natively.
DateFields ReadPlatformLocalClock();

using LocalClockSeam = Seam<&ReadPlatformLocalClock>;
using LocalClockReader = LocalClockSeam::Handler;

// The local date and time now, through the reader in force (the platform's
// when none is installed). Milliseconds are dropped.
inline DateFields ReadLocalClock() { return LocalClockSeam::Call(); }

// Replaces the clock for as long as it lives; the previous reader comes back
// when it ends.
class ScopedLocalClock : public LocalClockSeam::Override {
public:
    explicit ScopedLocalClock(LocalClockReader reader) : Override(std::move(reader)) {}
    // A clock that stands still at the given moment.
    explicit ScopedLocalClock(const DateFields& fixed) : Override([fixed] { return fixed; }) {}
};

}  // namespace paylode
