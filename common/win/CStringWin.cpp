/*
 * The CString operations that need Windows: the string table and BSTRs.
 */
#include "common/CString.h"

#include <new>
#include <string>

#include "common/HResult.h"
#include "common/win/Platform.h"
#include "common/win/Throw.h"
#include "common/TextConversion.h"

namespace paylode {

bool CString::LoadString(HINSTANCE module, unsigned int id) {
    char text[kMaxFormatted + 1] = {};
    if (LoadStringA(module, id, text, sizeof text) <= 0) return false;
    *this = text;
    return true;
}

wchar_t* CString::AllocSysString() const {
    // The wide text is built on the heap first: running out of memory there
    // is E_OUTOFMEMORY, as for the BSTR itself.
    std::wstring wide;
    try {
        wide = WideFromAnsi(GetString());
    } catch (const std::bad_alloc&) {
        ThrowHResult(kOutOfMemory);
    }
    return ThrowIfNullAlloc(SysAllocStringLen(wide.c_str(), static_cast<UINT>(wide.size())));
}

}  // namespace paylode
