/*
 * The host framework's bank settings object, as the component uses it. Each
 * operation that needs it (the bank's configure request, the payment run, the
 * statement import) creates it afresh, makes one call and lets it go.
 *
 * The object may live in a local server, so it is created for IUnknown with
 * every class context, put into its running state (OleRun) and then asked
 * for its settings interface. Any failure on that way leaves no object: the
 * first call through it then raises E_POINTER as a failed host call. A call
 * that fails is raised as a failed host call carrying the object's error
 * description when it gives any (combase/HostCall.h); the operation guard
 * turns both into DISP_E_EXCEPTION for the host.
 */
#pragma once

#include <wrl/client.h>

#include <cstddef>

#include "common/CString.h"
#include "host/HostBufferSizes.h"
#include "host/HostInterfaces.h"

namespace paylode {

// The bank's name as the host's settings object knows it.
constexpr char kBankName[] = "Kelmar Bank Paylode";

struct PaymentFileSettings {
    CString fileName;   // the host's default name without its last character
    CString directory;  // the default payment directory
};

class CHostBankSettings {
public:
    // Creates the host's object; none when that fails (see above).
    CHostBankSettings();

    bool IsAvailable() const { return settings_ != nullptr; }

    // The bank's configure request, with the options value 3.
    void ConfigureBank();

    // The default payment file name (its last character dropped) and the
    // default payment directory. The host's extension is not used: payment
    // files are always ".txt".
    PaymentFileSettings GetPaymentFileSettings();

    // Lets the host fill the statement import settings block.
    void GetStatementImportSettings(unsigned char (&block)[kStatementImportBlockBytes]);

private:
    ITorvoBankSettings* Settings() const;

    Microsoft::WRL::ComPtr<ITorvoBankSettings> settings_;
};

}  // namespace paylode
