/*
 * The host's bank settings object (see HostBankSettings.h).
 */
#include "combase/HostBankSettings.h"

#include <cstring>

#include "combase/HostCall.h"

namespace paylode {

namespace {

// The bank's name in a zero-filled buffer of the size the host expects.
template <std::size_t Size>
void FillBankName(char (&buffer)[Size]) {
    static_assert(Size >= sizeof kBankName);
    std::memset(buffer, 0, Size);
    std::memcpy(buffer, kBankName, sizeof kBankName);
}

}  // namespace

CHostBankSettings::CHostBankSettings()
    : settings_(CreateRunningHostObject<ITorvoBankSettings>(CLSID_TorvoBankSettings)) {}

ITorvoBankSettings* CHostBankSettings::Settings() const { return RequireHostObject(settings_.Get()); }

void CHostBankSettings::ConfigureBank() {
    ITorvoBankSettings* settings = Settings();
    char bankName[kConfigureBankNameBytes];
    FillBankName(bankName);
    CheckHostCall(settings->ConfigureBank(bankName, 3), settings, IID_ITorvoBankSettings);
}

PaymentFileSettings CHostBankSettings::GetPaymentFileSettings() {
    ITorvoBankSettings* settings = Settings();
    char bankName[kBankNameBytes];
    FillBankName(bankName);
    char fileName[kPaymentFileNameBytes] = {};
    char extension[kPaymentExtensionBytes] = {};
    char directory[kPaymentDirectoryBytes] = {};
    CheckHostCall(settings->GetPaymentFileSettings(bankName, fileName, extension, directory), settings,
                  IID_ITorvoBankSettings);
    // A host that fills a buffer to its end must not take the reads beyond it.
    fileName[sizeof fileName - 1] = '\0';
    directory[sizeof directory - 1] = '\0';
    const std::size_t length = std::strlen(fileName);
    if (length > 0) fileName[length - 1] = '\0';
    PaymentFileSettings result;
    result.fileName = fileName;
    result.directory = directory;
    return result;
}

void CHostBankSettings::GetStatementImportSettings(unsigned char (&block)[kStatementImportBlockBytes]) {
    ITorvoBankSettings* settings = Settings();
    char bankName[kBankNameBytes];
    FillBankName(bankName);
    CheckHostCall(settings->GetStatementImportSettings(bankName, block), settings, IID_ITorvoBankSettings);
}

}  // namespace paylode
