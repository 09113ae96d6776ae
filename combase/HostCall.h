/*
 * Calls on the host's objects that raise on failure.
 *
 * A failed call on a host object is raised as a _com_error, which the
 * operation guard turns into DISP_E_EXCEPTION. Before raising, the call asks
 * the host object through ISupportErrorInfo whether it gives error
 * information for the interface that was called and, if so, takes the
 * thread's error information into the exception, so that it is not left
 * behind on the thread.
 *
 *   CheckHostCall(settings->GetPaymentFileSettings(&name, &directory), settings.Get(),
 *                 __uuidof(ITorvoBankSettings));
 */
#pragma once

#include <wrl/client.h>

#include "common/win/Platform.h"

namespace paylode {

// Raises `result` as a _com_error when it is a failure; `object` is the host
// object that was called through its interface `iid`.
void CheckHostCall(HRESULT result, IUnknown* object, REFIID iid);

// Raises E_POINTER as a _com_error: a call through a null host-object pointer.
[[noreturn]] void RaiseNullHostObject();

// The host object itself, or the E_POINTER _com_error when there is none.
template <typename Interface>
Interface* RequireHostObject(Interface* object) {
    if (object == nullptr) RaiseNullHostObject();
    return object;
}

// Creates one of the host framework's objects by its CLSID. The object may
// live in a local server, so it is created for IUnknown with every class
// context, put into its running state (OleRun) and then asked for
// `Interface`. Any failure on that way gives no object; the first call
// through it then raises E_POINTER (RequireHostObject).
template <typename Interface>
Microsoft::WRL::ComPtr<Interface> CreateRunningHostObject(REFCLSID clsid) {
    Microsoft::WRL::ComPtr<IUnknown> object;
    Microsoft::WRL::ComPtr<Interface> wanted;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                                reinterpret_cast<void**>(object.GetAddressOf())))) {
        return wanted;
    }
    if (FAILED(OleRun(object.Get()))) return wanted;
    object.As(&wanted);
    return wanted;
}

}  // namespace paylode
