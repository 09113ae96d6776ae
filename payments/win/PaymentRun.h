/*
 * The payment run: what the payment service does when the host calls
 * ProcessPayments with its batch and, optionally, the paying account.
 *
 *   1. the host's bank settings object gives the default payment file name
 *      and directory, which the default directory check turns into the path
 *      the save-file dialog proposes;
 *   2. a batch of more than 4000 payments ends the run with a message;
 *   3. the last template name and beneficiary reference of the paying
 *      account and the shared Republic Of Ireland flag are read from the
 *      settings file and handed to the payment options dialog;
 *   4. after OK there and a file chosen in the save-file dialog, the choices
 *      are stored before any file is made;
 *   5. for bulk list payments the template file is written beside the
 *      payment file, then the payment file itself (payments/PaymentFile.h).
 *
 * The run leaves the service's status value as it goes: 0, 1 (a payment
 * failed a check), 2 (no new payment file: it cannot be written, a payment
 * cannot be fetched, or the run failed), 3 (either dialog cancelled) or 40
 * (too many payments). Everything the user must be told is shown in a
 * message box; none of these ends is a failure HRESULT. A failing host call
 * or a null batch is thrown, for the service's operation guard, after the
 * status value was set to 2; only a bank settings object that fails at the
 * start leaves the status value as it was.
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
