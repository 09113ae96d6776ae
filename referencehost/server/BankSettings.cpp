/*
 * The reference host's bank settings object.
 */
#include "referencehost/server/BankSettings.h"

#include <cstring>

#include "referencehost/StatementImportBlock.h"

namespace paylode::referencehost {

namespace {

std::string Quoted(const char* buffer, std::size_t size) {
    return buffer == nullptr ? "null" : "\"" + FromBuffer(buffer, size) + "\"";
}

}  // namespace

CReferenceBankSettings::CReferenceBankSettings(const CServerConfiguration& configuration)
    : CServerObject(configuration, "bankSettings", IID_ITorvoBankSettings, CLSID_TorvoBankSettings, LIBID_TorvoEBanking,
                    L"TorvoEBanking.tlb") {}

STDMETHODIMP CReferenceBankSettings::ConfigureBank(char* bankName, LONG options) {
    return Call("ConfigureBank", Quoted(bankName, kConfigureBankNameBytes) + ", " + std::to_string(options),
                [&] { return bankName != nullptr ? S_OK : E_POINTER; });
}

STDMETHODIMP CReferenceBankSettings::GetStatementImportSettings(char* bankName, BYTE* settingsBlock) {
    return Call("GetStatementImportSettings", Quoted(bankName, kBankNameBytes), [&] {
        if (bankName == nullptr || settingsBlock == nullptr) return E_POINTER;
        std::memset(settingsBlock, 0, kStatementImportBlockBytes);
        auto* block = reinterpret_cast<StatementImportBlock*>(settingsBlock);
        CopyToBuffer(block->fileFilter, sizeof block->fileFilter,
                     Configuration().Text("StatementImport", "Filter", "*.csv"));
        CopyToBuffer(block->initialDirectory, sizeof block->initialDirectory,
                     Configuration().Text("StatementImport", "Directory", "C:\\"));
        CopyToBuffer(block->bankName, sizeof block->bankName, FromBuffer(bankName, kBankNameBytes));
        return S_OK;
    });
}

STDMETHODIMP CReferenceBankSettings::GetPaymentFileSettings(char* bankName, char* fileName, char* extension,
                                                            char* directory) {
    return Call("GetPaymentFileSettings", Quoted(bankName, kBankNameBytes), [&] {
        if (bankName == nullptr || fileName == nullptr || extension == nullptr || directory == nullptr) {
            return E_POINTER;
        }
        CopyToBuffer(fileName, kPaymentFileNameBytes, Configuration().Text("PaymentFile", "FileName", "Payments."));
        CopyToBuffer(extension, kPaymentExtensionBytes, Configuration().Text("PaymentFile", "Extension", "txt"));
        CopyToBuffer(directory, kPaymentDirectoryBytes, Configuration().Text("PaymentFile", "Directory", "C:\\"));
        return S_OK;
    });
}

}  // namespace paylode::referencehost
