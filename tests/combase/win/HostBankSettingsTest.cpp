// Under Wine: the host's bank settings object as the component uses it.
// First against a class object registered by the test (the bank's name in a
// zero-filled buffer, the name's last character dropped, failures raised, no
// reference kept), then against the registered reference host (the
// configured values, injected failures with their error information, an
// object that cannot be created).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>


#include "combase/ComPointers.h"
#include "support/ReferenceHostFixture.h"
#include "support/FakeDispatch.h"
#include "combase/HostBankSettings.h"
#include "support/HResultAssert.h"

namespace paylode {
namespace {

class CFakeBankSettings : public test::CFakeDispatch<ITorvoBankSettings> {
public:
    HRESULT result = S_OK;
    std::string fileName = "Payments.";
    std::string directory = "C:\\Pay";
    std::string bankNameSeen;
    bool bankNameZeroFilled = false;

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
    void SetUp() override { ASSERT_HR(S_OK, CoInitialize(nullptr)); }
    void TearDown() override {
        if (cookie_ != 0) CoRevokeClassObject(cookie_);
        CoUninitialize();
    }
    void Register() {
        const HRESULT hr = CoRegisterClassObject(CLSID_TorvoBankSettings, &factory_, CLSCTX_LOCAL_SERVER,
                                                 REGCLS_MULTIPLEUSE, &cookie_);
        ASSERT_HR(S_OK, hr) << std::hex << hr;
    }

    CFakeBankSettings fake_;
    CFakeSettingsFactory factory_{fake_};
    DWORD cookie_ = 0;
};

// Runs `call` and returns the HRESULT of the host-call failure it raises
// (S_OK when it raises nothing), and whether that failure carried the host
// object's error information.
template <typename Call>
HRESULT RaisedBy(Call&& call, bool* carriedErrorInfo = nullptr) {
    try {
        call();
    } catch (const CFailure& failure) {
        EXPECT_EQ(CFailure::Kind::HostCall, failure.GetKind());
        if (carriedErrorInfo != nullptr) *carriedErrorInfo = !failure.Description().empty();
        return failure.Code();
    }
    return S_OK;
}

TEST_F(HostBankSettings, WithoutAnObjectEveryCallRaisesEPointer) {
    CHostBankSettings settings;
    EXPECT_FALSE(settings.IsAvailable());
    unsigned char block[kStatementImportBlockBytes] = {};
    EXPECT_HR(E_POINTER, RaisedBy([&] { settings.GetPaymentFileSettings(); }));
    EXPECT_HR(E_POINTER, RaisedBy([&] { settings.ConfigureBank(); }));
    EXPECT_HR(E_POINTER, RaisedBy([&] { settings.GetStatementImportSettings(block); }));
}

TEST_F(HostBankSettings, ReadsTheDefaultFileNameAndDirectory) {
    Register();
    struct Row {
        const char* fileName;
        HRESULT result;
        const char* expectedName;
    };
    // clang-format off
    const Row rows[] = {
        {"Payments.", S_OK, "Payments"},
        {"", S_OK, ""},
        {"X", S_FALSE, ""},
        {"Payments.", E_ACCESSDENIED, ""},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        fake_.fileName = rows[i].fileName;
        fake_.result = rows[i].result;
        {
            CHostBankSettings settings;
            ASSERT_TRUE(settings.IsAvailable());
            EXPECT_EQ(1u, fake_.references) << "the creation keeps only the settings interface";
            PaymentFileSettings values;
            bool carried = true;
            const HRESULT raised = RaisedBy([&] { values = settings.GetPaymentFileSettings(); }, &carried);
            EXPECT_EQ(SUCCEEDED(rows[i].result) ? S_OK : rows[i].result, raised);
            if (FAILED(raised)) {
                EXPECT_FALSE(carried) << "the fake gives no error information";
            }
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
    CHostBankSettings settings;
    ASSERT_TRUE(settings.IsAvailable());
    const PaymentFileSettings values = settings.GetPaymentFileSettings();
    EXPECT_EQ(1022, values.fileName.GetLength());
    EXPECT_EQ(1023, values.directory.GetLength());
}

using HostBankSettingsOfReferenceHost = referencehost::ReferenceHostFixture;

TEST_F(HostBankSettingsOfReferenceHost, GivesTheConfiguredPaymentFileSettings) {
    Configure("[PaymentFile]\r\nFileName=Supplier Run.\r\nExtension=csv\r\nDirectory=C:\\users\\Public\r\n");
    PaymentFileSettings values;
    {
        CHostBankSettings settings;
        ASSERT_TRUE(settings.IsAvailable());
        values = settings.GetPaymentFileSettings();
    }
    EXPECT_STREQ("Supplier Run", values.fileName.GetString());
    EXPECT_STREQ("C:\\users\\Public", values.directory.GetString());
    const referencehost::Texts recorded = Recorded();
    const referencehost::Texts expected = {"bankSettings.Create()", "bankSettings.Run()",
                                           "bankSettings.GetPaymentFileSettings(\"Kelmar Bank Paylode\")",
                                           "bankSettings.Released()"};
    EXPECT_EQ(expected, recorded) << "one call, then the object let go";
}

TEST_F(HostBankSettingsOfReferenceHost, FailuresRaiseWithTheHostsErrorInformation) {
    struct Row {
        const char* configuration;
        bool available;
        HRESULT raised;
        bool carriesErrorInfo;
    };
    // clang-format off
    const Row rows[] = {
        {"[Failures]\r\nbankSettings.Create=0x80040154\r\n", false, E_POINTER, false},  // not registered
        {"[Failures]\r\nbankSettings.Run=0x80004005\r\n", false, E_POINTER, false},
        {"[Failures]\r\nbankSettings.GetPaymentFileSettings=0x80070005\r\n", true, E_ACCESSDENIED, true},
        {"[Failures]\r\nbankSettings.ConfigureBank=0x80004005\r\n", true, S_OK, false},  // another call
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        Configure(rows[i].configuration);
        CHostBankSettings settings;
        EXPECT_EQ(rows[i].available, settings.IsAvailable());
        bool carried = false;
        EXPECT_EQ(rows[i].raised, RaisedBy([&] { settings.GetPaymentFileSettings(); }, &carried));
        EXPECT_EQ(rows[i].carriesErrorInfo, carried);
    }
}

TEST_F(HostBankSettingsOfReferenceHost, ConfigureAndStatementSettingsPassTheBankName) {
    Configure("[StatementImport]\r\n");
    CHostBankSettings settings;
    ASSERT_TRUE(settings.IsAvailable());
    settings.ConfigureBank();
    unsigned char block[kStatementImportBlockBytes] = {};
    settings.GetStatementImportSettings(block);
    const referencehost::Texts recorded = Recorded();
    ASSERT_EQ(4u, recorded.size());
    EXPECT_EQ("bankSettings.ConfigureBank(\"Kelmar Bank Paylode\", 3)", recorded[2]);
    EXPECT_EQ(0u, recorded[3].rfind("bankSettings.GetStatementImportSettings(\"Kelmar Bank Paylode\"", 0))
        << recorded[3];
}

}  // namespace
}  // namespace paylode
