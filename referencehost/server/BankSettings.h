/*
 * The host framework's bank settings object, as the reference host provides
 * it: the default payment file name, extension and directory, and the
 * statement import block, from the reference host's configuration.
 */
#pragma once

#include "referencehost/server/ServerObject.h"

namespace paylode::referencehost {

class CReferenceBankSettings : public CServerObject<ITorvoBankSettings> {
public:
    explicit CReferenceBankSettings(const CServerConfiguration& configuration);

    STDMETHODIMP ConfigureBank(char* bankName, LONG options) override;
    STDMETHODIMP GetStatementImportSettings(char* bankName, BYTE* settingsBlock) override;
    STDMETHODIMP GetPaymentFileSettings(char* bankName, char* fileName, char* extension, char* directory) override;
};

}  // namespace paylode::referencehost
