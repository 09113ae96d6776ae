// Under Wine: the host's bank settings object, created by its class id with a
// class object registered by the test, and the payment file settings read
// from it: the bank's name in a zero-filled buffer, the name's last character
// dropped, failures passed back, no reference kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "payments/win/HostBankSettings.h"

namespace paylode {
namespace {

class CFakeBankSettings : public ITorvoBankSettings {
public:
    HRESULT result = S_OK;
    std::string fileName = "Payments.";
    std::string directory = "C:\\Pay";
    std::string bankNameSeen;
    bool bankNameZeroFilled = false;
    ULONG references = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_ITorvoBankSettings) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ConfigureBank(char*, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStatementImportSettings(char*, BYTE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPaymentFileSettings(char* bankName, char* name, char* extension,
                                                     char* folder) override {
        bankNameSeen = bankName;
        bankNameZeroFilled = true;
        for (std::size_t i = bankNameSeen.size(); i < 100; ++i) bankNameZeroFilled &= bankName[i] == '\0';
        std::memcpy(extension, "csv", 4);
        // A host may fill a buffer to its last byte, without a terminator.
        std::memcpy(name, fileName.c_str(), std::min<std::size_t>(fileName.size() + 1, 1024));
        std::memcpy(folder, directory.c_str(), std::min<std::size_t>(directory.size() + 1, 1024));
        return result;
    }
};

// Hands out the one fake settings object.
class CFakeSettingsFactory : public IClassFactory {
public:
    explicit CFakeSettingsFactory(CFakeBankSettings& settings) : settings_(settings) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return settings_.QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    CFakeBankSettings& settings_;
};

class HostBankSettings : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, CoInitialize(nullptr)); }
    void TearDown() override {
        if (cookie_ != 0) CoRevokeClassObject(cookie_);
        CoUninitialize();
    }
    void Register() {
        const HRESULT hr = CoRegisterClassObject(CLSID_TorvoBankSettings, &factory_, CLSCTX_LOCAL_SERVER,
                                                 REGCLS_MULTIPLEUSE, &cookie_);
        ASSERT_EQ(S_OK, hr) << std::hex << hr;
    }

    CFakeBankSettings fake_;
    CFakeSettingsFactory factory_{fake_};
    DWORD cookie_ = 0;
};

TEST_F(HostBankSettings, NotRegisteredGivesNoObject) { EXPECT_EQ(nullptr, CreateHostBankSettings().Get()); }

TEST_F(HostBankSettings, ReadsTheDefaultFileNameAndDirectory) {
    Register();
    struct Row {
        const char* fileName;
        HRESULT result;
        const char* expectedName;
    };
    const Row rows[] = {
        {"Payments.", S_OK, "Payments"},
        {"", S_OK, ""},
        {"X", S_FALSE, ""},
        {"Payments.", E_ACCESSDENIED, "unchanged"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        fake_.fileName = rows[i].fileName;
        fake_.result = rows[i].result;
        {
            Microsoft::WRL::ComPtr<ITorvoBankSettings> settings = CreateHostBankSettings();
            ASSERT_NE(nullptr, settings.Get());
            EXPECT_EQ(1u, fake_.references) << "the creation keeps only the settings interface";
            CPaymentFileSettings values;
            values.fileName = "unchanged";
            EXPECT_EQ(rows[i].result, ReadPaymentFileSettings(*settings.Get(), &values));
            EXPECT_STREQ(rows[i].expectedName, values.fileName.GetString());
            EXPECT_STREQ(SUCCEEDED(rows[i].result) ? "C:\\Pay" : "", values.directory.GetString());
            EXPECT_EQ("Kelmar Bank Paylode", fake_.bankNameSeen);
            EXPECT_TRUE(fake_.bankNameZeroFilled);
        }
        EXPECT_EQ(0u, fake_.references);
    }
}

TEST_F(HostBankSettings, AnUnterminatedBufferIsReadOnlyToItsEnd) {
    Register();
    fake_.fileName = std::string(1024, 'N');
    fake_.directory = std::string(1024, 'D');
    Microsoft::WRL::ComPtr<ITorvoBankSettings> settings = CreateHostBankSettings();
    ASSERT_NE(nullptr, settings.Get());
    CPaymentFileSettings values;
    ASSERT_EQ(S_OK, ReadPaymentFileSettings(*settings.Get(), &values));
    EXPECT_EQ(1022, values.fileName.GetLength());
    EXPECT_EQ(1023, values.directory.GetLength());
}

}  // namespace
}  // namespace paylode
