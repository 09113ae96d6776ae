/*
 * Creating the host's bank settings object and reading the payment file
 * settings from it (see HostBankSettings.h).
 */
#include "payments/win/HostBankSettings.h"

#include <cstring>

namespace paylode {

Microsoft::WRL::ComPtr<ITorvoBankSettings> CreateHostBankSettings() {
    Microsoft::WRL::ComPtr<IUnknown> object;
    if (FAILED(CoCreateInstance(CLSID_TorvoBankSettings, nullptr, CLSCTX_ALL, IID_IUnknown,
                                reinterpret_cast<void**>(object.GetAddressOf())))) {
        return nullptr;
    }
    if (FAILED(OleRun(object.Get()))) return nullptr;
    Microsoft::WRL::ComPtr<ITorvoBankSettings> settings;
    if (FAILED(object.As(&settings))) return nullptr;
    return settings;
}

HRESULT ReadPaymentFileSettings(ITorvoBankSettings& settings, CPaymentFileSettings* result) {
    // The host gets zero-filled buffers of the sizes it expects.
    char bankName[100] = {};
    std::memcpy(bankName, kBankName, sizeof kBankName);
    char fileName[1024] = {};
    char extension[4] = {};
    char directory[1024] = {};
    const HRESULT hr = settings.GetPaymentFileSettings(bankName, fileName, extension, directory);
    if (FAILED(hr)) return hr;
    // A host that fills a buffer to its end must not take the reads beyond it.
    fileName[sizeof fileName - 1] = '\0';
    directory[sizeof directory - 1] = '\0';
    const std::size_t length = std::strlen(fileName);
    if (length > 0) fileName[length - 1] = '\0';
    result->fileName = fileName;
    result->directory = directory;
    return hr;
}

}  // namespace paylode
