/*
 * Raising a failed host call (see HostCall.h).
 */
#include "combase/HostCall.h"

#include <wrl/client.h>

#include <new>
#include <string>
#include <utility>

#include "common/win/Owners.h"

using Microsoft::WRL::ComPtr;

namespace paylode {

void CheckHostCall(HRESULT result, IUnknown* object, REFIID iid, SourcePlace where) {
    if (SUCCEEDED(result)) return;
    std::wstring description;
    ComPtr<ISupportErrorInfo> support;
    if (object != nullptr && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&support))) &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK) {
        ComPtr<IErrorInfo> info;
        CBstr text;
        if (GetErrorInfo(0, &info) == S_OK && info && SUCCEEDED(info->GetDescription(text.Receive())) &&
            text.Get() != nullptr) {
            try {
                description.assign(text.Get(), text.Length());
            } catch (const std::bad_alloc&) {
                // No memory for the words: the failure is told by its code.
            }
        }
    }
    throw CFailure(CFailure::Kind::HostCall, result, where, std::move(description));
}

void RaiseNullHostObject(SourcePlace where) { throw CFailure(CFailure::Kind::HostCall, E_POINTER, where); }

}  // namespace paylode
