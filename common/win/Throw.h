/*
 * Turning a failed call into a throw, for code that runs inside the
 * operation guard or ResultOf (combase/OperationGuard.h) or another catch of
 * the core's failure type. Every helper throws an HRESULT as a CFailure
 * (common/HResult.h) that names its caller's file and line:
 *
 *   ThrowIfFailed(CreateErrorInfo(&create));          // a failed HRESULT
 *   BSTR text = ThrowIfNullAlloc(SysAllocString(s));  // null: E_OUTOFMEMORY
 *   ThrowLastErrorIf(!DeleteFileW(...));              // GetLastError()
 *   ThrowIfWin32Error(RegCreateKeyExW(...));          // a returned error code
 *
 * A Win32 error becomes HRESULT_FROM_WIN32 of it, so that callers that
 * return HRESULTs (the DLL's exports) can pass it on unchanged; the two
 * codes for a lack of memory become E_OUTOFMEMORY, which the guard reports
 * as "Out of Memory".
 */
#pragma once

#include "common/HResult.h"
#include "common/win/Platform.h"

namespace paylode {

// Throws `result` when it is a failure.
inline void ThrowIfFailed(HRESULT result, SourcePlace where = SourcePlace::Here()) {
    if (FAILED(result)) ThrowHResult(result, where);
}

// Gives back `allocated`, or throws E_OUTOFMEMORY when it is null.
template <typename T>
T* ThrowIfNullAlloc(T* allocated, SourcePlace where = SourcePlace::Here()) {
    if (allocated == nullptr) ThrowHResult(kOutOfMemory, where);
    return allocated;
}

// The HRESULT of a Win32 error code: E_OUTOFMEMORY for the memory errors,
// E_FAIL for a call that failed without setting one.
HRESULT HResultFromWin32(DWORD error);

// Throws the calling thread's last Win32 error as an HRESULT.
[[noreturn]] void ThrowLastError(SourcePlace where = SourcePlace::Here());

// Throws the last Win32 error when `failed` holds: for the calls that report
// a failure by their result and the reason through GetLastError.
inline void ThrowLastErrorIf(bool failed, SourcePlace where = SourcePlace::Here()) {
    if (failed) ThrowLastError(where);
}

// Throws a Win32 error code that a call returned (the registry's calls),
// unless it is ERROR_SUCCESS.
inline void ThrowIfWin32Error(LONG error, SourcePlace where = SourcePlace::Here()) {
    if (error != ERROR_SUCCESS) ThrowHResult(HResultFromWin32(static_cast<DWORD>(error)), where);
}

}  // namespace paylode
