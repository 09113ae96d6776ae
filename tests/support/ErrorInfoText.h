// The description of the error information on the test's thread, taken off
// the thread as a host takes it after a failure; "<none>" when there is none.
#pragma once

#include <wrl/client.h>

#include <string>

#include "common/win/Owners.h"

namespace paylode::test {

inline std::wstring DescriptionOnThread() {
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return L"<none>";
    CBstr text;
    info->GetDescription(text.Receive());
    return text.Get() != nullptr ? text.Get() : L"";
}

}  // namespace paylode::test
