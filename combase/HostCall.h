/*
 * Calls on the host's objects that raise on failure.
 *
 * A failed call on a host object is raised as a CFailure of kind HostCall
 * (common/HResult.h), which the operation guard turns into
 * DISP_E_EXCEPTION. Before raising, the call asks the host object through
 * ISupportErrorInfo whether it gives error information for the interface
 * that was called and, if so, takes the thread's error information off the
 * thread, so that it is not left behind, and its description into the
 * failure (which the guard writes on its debugger line, not to the host).
 *
 *   CheckHostCall(statement->Clear(), statement, IID_ITorvoBankStatement);
 */
#pragma once

#include <wrl/client.h>

#include "common/HResult.h"
#include "common/win/Platform.h"

namespace paylode {

// Raises `result` as a failed host call when it is a failure; `object` is
// the host object that was called through its interface `iid`.
void CheckHostCall(HRESULT result, IUnknown* object, REFIID iid, SourcePlace where = SourcePlace::Here());

// Raises E_POINTER as a failed host call: a call through a null host-object
// pointer.
[[noreturn]] void RaiseNullHostObject(SourcePlace where = SourcePlace::Here());

// The host object itself, or the E_POINTER host-call failure when there is
// none.
template <typename Interface>
Interface* RequireHostObject(Interface* object, SourcePlace where = SourcePlace::Here()) {
    if (object == nullptr) RaiseNullHostObject(where);
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
