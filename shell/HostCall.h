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

}  // namespace paylode
