/*
 * The host framework's bank settings object, as the payment run uses it: it
 * is created afresh for the run, asked once for the default payment file
 * name and directory, and released when the run ends.
 *
 * The object may live in a local server, so it is created for IUnknown with
 * every class context, put into its running state (OleRun) and then asked
 * for its settings interface. Any failure on that way gives no object; the
 * caller's first call through the missing object is what reports it.
 */
#pragma once

#include <wrl/client.h>

#include "common/CString.h"
#include "common/win/Platform.h"
#include "host/HostInterfaces.h"

namespace paylode {

// The bank's name as the host's settings object knows it.
constexpr char kBankName[] = "Kelmar Bank Paylode";

// A new bank settings object, or null when it cannot be had.
Microsoft::WRL::ComPtr<ITorvoBankSettings> CreateHostBankSettings();

struct CPaymentFileSettings {
    CString fileName;   // the host's default name without its last character
    CString directory;  // the default payment directory
};

// Asks the settings object for the default payment file name and directory.
// The host's extension is not used: payment files are always ".txt". Returns
// the object's HRESULT; `result` is filled only when it succeeds.
HRESULT ReadPaymentFileSettings(ITorvoBankSettings& settings, CPaymentFileSettings* result);

}  // namespace paylode
