/*
 * The CString operations that need Windows: the string table and BSTRs.
 */
#include "common/CString.h"

#include "common/HResult.h"
#include "common/win/Platform.h"
#include "common/win/Throw.h"
#include "common/win/WinText.h"

namespace paylode {

bool CString::LoadString(HINSTANCE module, unsigned int id) {
    char text[kMaxFormatted + 1] = {};
    if (LoadStringA(module, id, text, sizeof text) <= 0) return false;
    *this = text;
    return true;
}

wchar_t* CString::AllocSysString() const {
    const std::wstring wide = WideFromAnsi(GetString());
    return ThrowIfNullAlloc(SysAllocStringLen(wide.c_str(), static_cast<UINT>(wide.size())));
}

}  // namespace paylode
