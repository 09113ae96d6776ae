/*
 * The local clock: the replaceable reader in front of the platform's clock.
 */
#include "common/LocalClock.h"

#include <utility>

namespace paylode {

namespace {
LocalClockReader& CurrentReader() {
    static LocalClockReader reader;
    return reader;
}
}  // namespace

DateFields ReadLocalClock() {
    const LocalClockReader& reader = CurrentReader();
    return reader ? reader() : ReadPlatformLocalClock();
}

ScopedLocalClock::ScopedLocalClock(LocalClockReader reader)
    : previous_(std::exchange(CurrentReader(), std::move(reader))) {}

ScopedLocalClock::ScopedLocalClock(const DateFields& fixed)
    : ScopedLocalClock(LocalClockReader([fixed] { return fixed; })) {}

ScopedLocalClock::~ScopedLocalClock() { CurrentReader() = std::move(previous_); }

}  // namespace paylode
