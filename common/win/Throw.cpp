/*
 * The Win32 half of the throw helpers (see Throw.h).
 */
#include "common/win/Throw.h"

namespace paylode {

HRESULT HResultFromWin32(DWORD error) {
    if (error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY) return kOutOfMemory;
    if (error == ERROR_SUCCESS) return kFail;
    return HRESULT_FROM_WIN32(error);
}

void ThrowLastError(SourcePlace where) { ThrowHResult(HResultFromWin32(GetLastError()), where); }

}  // namespace paylode
