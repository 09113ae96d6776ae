/*
 * The DLL's module: its instance handle and the lock count that decides
 * whether the DLL may be unloaded.
 *
 * Every live object of the component's classes, every LockServer(TRUE) and
 * every outside reference on a class object holds one lock. The count is
 * changed with interlocked operations, since COM may ask DllCanUnloadNow from
 * another thread than the one that created the objects.
 */
#pragma once

#include "common/win/Platform.h"

namespace paylode {

class CModule {
public:
    static HINSTANCE Instance() { return instance_; }
    static void Attach(HINSTANCE instance) { instance_ = instance; }

    static LONG Lock() { return InterlockedIncrement(&locks_); }
    static LONG Unlock() { return InterlockedDecrement(&locks_); }
    static LONG LockCount() { return InterlockedCompareExchange(&locks_, 0, 0); }

private:
    static HINSTANCE instance_;
    static volatile LONG locks_;
};

}  // namespace paylode
