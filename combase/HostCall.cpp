/*
 * Raising a failed host call as a _com_error (see HostCall.h).
 */
#include "combase/HostCall.h"

#include <comdef.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace paylode {

void CheckHostCall(HRESULT result, IUnknown* object, REFIID iid) {
    if (SUCCEEDED(result)) return;
    ComPtr<IErrorInfo> info;
    ComPtr<ISupportErrorInfo> support;
    if (object != nullptr && SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&support))) &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK) {
        if (GetErrorInfo(0, &info) != S_OK) info.Reset();
    }
    // The exception takes over the reference that GetErrorInfo handed over.
    throw _com_error(result, info.Detach(), false);
}

void RaiseNullHostObject() { throw _com_error(E_POINTER); }

}  // namespace paylode
