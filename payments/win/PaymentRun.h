/*
 * The payment run: what the payment service does when the host calls
 * ProcessPayments with its batch and, optionally, the paying account. Its
 * steps, and the status value and result each end leaves, are told once,
 * in docs/developers-guide.md ("The payment run"). Everything the user must
 * be told is shown in a message box; none of those ends is a failure
 * HRESULT. A failing host call or a null batch is thrown, for the service's
 * operation guard, after the status value was set to 2; only a bank
 * settings object that fails at the start leaves the status value as it was.
 */
#pragma once

#include <functional>
#include <string>

#include "host/HostInterfaces.h"

namespace paylode {

// The save-file dialog's filter: payment files (*.txt), then all files, as
// NUL-separated pairs ended by a second NUL.
std::string PaymentFileFilter();

// Sets the service's status value.
using SetServiceStatusFunction = std::function<void(LONG status)>;

// Runs the payments, setting the service's status value as it goes. Returns
// S_OK, S_FALSE when a payment failed a check, or 40 for too many payments.
HRESULT RunPayments(ITorvoBankPayments* payments, ITorvoBankAccount* account,
                    const SetServiceStatusFunction& setStatus);

// The text of a payment status code from the component's string table, or
// null when the code has none.
BSTR PaymentStatusTextFor(LONG code);

}  // namespace paylode
