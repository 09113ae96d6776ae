// Under Wine: the bank as the host meets it, from the DLL registered with
// regsvr32 and created by its ProgID: name, kind, the services collection
// kept for the bank's life, the configure request through the reference
// host's bank settings object, and the module's lock count meanwhile.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <string>
#include <vector>

#include "TorvoKelmarBankPaylode.h"
#include "common/win/Owners.h"
#include "support/ErrorInfoText.h"
#include "support/HResultAssert.h"
#include "support/ReferenceHostFixture.h"

namespace paylode {
namespace {

using Microsoft::WRL::ComPtr;

using test::DescriptionOnThread;

// The services every collection holds, in order.
const std::vector<std::string> kServiceNames = {"Bank Payment Service", "Bank Reconciliation Service"};

std::string Text(BSTR text) {
    std::string narrow;
    for (UINT i = 0; i < SysStringLen(text); ++i) narrow += static_cast<char>(text[i]);
    return narrow;
}

// The collection's services by position, as the names they give, and their
// identities.
std::vector<std::string> Names(ITorvoBankServices* services, std::vector<ComPtr<IUnknown>>* identities = nullptr) {
    std::vector<std::string> names;
    LONG count = 0;
    EXPECT_HR(S_OK, services->GetCount(&count));
    for (LONG i = 0; i < count; ++i) {
        VARIANT index;
        VariantInit(&index);
        V_VT(&index) = VT_I4;
        V_I4(&index) = i;
        ComPtr<ITorvoBankService> service;
        EXPECT_HR(S_OK, services->GetItem(&index, &service));
        if (!service) break;
        CBstr name;
        EXPECT_HR(S_OK, service->GetName(name.Receive()));
        names.push_back(Text(name.Get()));
        if (identities != nullptr) service.As(&identities->emplace_back());
    }
    return names;
}

class RegisteredBank : public testrig::WithRegisteredComponent<referencehost::ReferenceHostFixture> {
protected:
    void SetUp() override {
        ReferenceHostFixture::SetUp();
        ASSERT_TRUE(component_->Registration().Succeeded()) << component_->Registration();
        Configure("");
    }
    void TearDown() override {
        CoFreeUnusedLibrariesEx(0, 0);
        ReferenceHostFixture::TearDown();
    }

    static ComPtr<ITorvoBank> CreateBank() {
        CLSID clsid = {};
        EXPECT_HR(S_OK, CLSIDFromProgID(L"TorvoKelmarBankPaylode.Bank", &clsid));
        ComPtr<ITorvoBank> bank;
        EXPECT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITorvoBank, &bank));
        return bank;
    }
    static HRESULT CanUnloadNow() {
        HMODULE module = GetModuleHandleW(L"TorvoKelmarBankPaylode.DLL");
        if (module == nullptr) return E_FAIL;
        auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
        return canUnload();
    }

};

TEST_F(RegisteredBank, ProgIdsNameTheBankClass) {
    for (const wchar_t* progId : {L"TorvoKelmarBankPaylode.Bank", L"TorvoKelmarBankPaylode.Bank.1"}) {
        CLSID clsid = {};
        ASSERT_HR(S_OK, CLSIDFromProgID(progId, &clsid));
        EXPECT_TRUE(IsEqualCLSID(CLSID_Bank, clsid));
    }
    ComPtr<ITorvoBank> bank = CreateBank();
    ASSERT_NE(nullptr, bank.Get());
    EXPECT_HR(S_FALSE, CanUnloadNow()) << "a live bank locks the module";
    bank.Reset();
    EXPECT_HR(S_OK, CanUnloadNow());
}

TEST_F(RegisteredBank, NameAndKind) {
    ComPtr<ITorvoBank> bank = CreateBank();
    ASSERT_NE(nullptr, bank.Get());
    CBstr name;
    ASSERT_HR(S_OK, bank->GetName(name.Receive()));
    EXPECT_EQ(std::wstring(L"Kelmar Bank Paylode"), std::wstring(name.Get(), name.Length()));
    LONG kind = 0;
    ASSERT_HR(S_OK, bank->GetBankKind(&kind));
    EXPECT_EQ(1, kind);
}

TEST_F(RegisteredBank, ANullOutPointerIsAnInvalidArgument) {
    ComPtr<ITorvoBank> bank = CreateBank();
    ASSERT_NE(nullptr, bank.Get());
    for (int call = 0; call < 3; ++call) {
        SCOPED_TRACE(call);
        SetErrorInfo(0, nullptr);
        const HRESULT result = call == 0   ? bank->GetName(nullptr)
                               : call == 1 ? bank->GetServices(nullptr)
                                           : bank->GetBankKind(nullptr);
        EXPECT_HR(0x800AFFFC, result);
        EXPECT_EQ(L"Invalid argument", DescriptionOnThread());
    }
}

TEST_F(RegisteredBank, AnswersItsInterfacesInOrder) {
    ComPtr<ITorvoBank> bank = CreateBank();
    ASSERT_NE(nullptr, bank.Get());
    ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, bank.As(&identity));
    ComPtr<ISupportErrorInfo> errorInfo;
    ASSERT_HR(S_OK, bank.As(&errorInfo));
    const struct {
        const IID* iid;
        const void* expected;
        HRESULT errorInfo;
    } rows[] = {
        {&IID_IBank, bank.Get(), S_OK},
        {&IID_ITorvoBank, bank.Get(), S_FALSE},
        {&IID_IDispatch, bank.Get(), S_FALSE},
        {&IID_ISupportErrorInfo, errorInfo.Get(), S_FALSE},
        {&IID_IUnknown, bank.Get(), S_FALSE},
        {&IID_IBankServices, nullptr, S_FALSE},
        {&IID_ITorvoBankService, nullptr, S_FALSE},
    };
    EXPECT_EQ(static_cast<IUnknown*>(bank.Get()), identity.Get());
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        ComPtr<IUnknown> out;
        const HRESULT hr = bank->QueryInterface(*rows[i].iid, reinterpret_cast<void**>(out.GetAddressOf()));
        EXPECT_HR(rows[i].expected != nullptr ? S_OK : E_NOINTERFACE, hr);
        EXPECT_EQ(rows[i].expected, static_cast<void*>(out.Get()));
        EXPECT_HR(rows[i].errorInfo, errorInfo->InterfaceSupportsErrorInfo(*rows[i].iid));
    }
}

TEST_F(RegisteredBank, OneCollectionPerBankKeptForItsLife) {
    ComPtr<ITorvoBank> bank = CreateBank();
    ComPtr<ITorvoBank> other = CreateBank();
    ASSERT_NE(nullptr, bank.Get());
    ASSERT_NE(nullptr, other.Get());
    ComPtr<ITorvoBankServices> first, second, ofOther;
    ASSERT_HR(S_OK, bank->GetServices(&first));
    ASSERT_HR(S_OK, bank->GetServices(&second));
    ASSERT_HR(S_OK, other->GetServices(&ofOther));
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_NE(first.Get(), ofOther.Get());
    second.Reset();
    first.Reset();
    // The bank still holds its collection: the next request gets it again.
    ComPtr<IUnknown> before;
    ASSERT_HR(S_OK, bank->GetServices(&first));
    first.As(&before);
    first.Reset();
    ASSERT_HR(S_OK, bank->GetServices(&first));
    ComPtr<IUnknown> after;
    first.As(&after);
    EXPECT_EQ(before.Get(), after.Get());
}

TEST_F(RegisteredBank, EachCollectionMakesItsOwnServices) {
    ComPtr<ITorvoBank> bank = CreateBank();
    ComPtr<ITorvoBank> other = CreateBank();
    ComPtr<ITorvoBankServices> services, ofOther, direct;
    ASSERT_HR(S_OK, bank->GetServices(&services));
    ASSERT_HR(S_OK, other->GetServices(&ofOther));
    CLSID clsid = {};
    ASSERT_HR(S_OK, CLSIDFromProgID(L"TorvoKelmarBankPaylode.BankServices", &clsid));
    ASSERT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITorvoBankServices, &direct));

    std::vector<ComPtr<IUnknown>> mine, theirs, direct_;
    EXPECT_EQ(kServiceNames, Names(services.Get(), &mine));
    EXPECT_EQ(kServiceNames, Names(ofOther.Get(), &theirs));
    EXPECT_EQ(kServiceNames, Names(direct.Get(), &direct_)) << "a collection created directly";
    for (std::size_t i = 0; i < mine.size() && i < theirs.size() && i < direct_.size(); ++i) {
        EXPECT_NE(mine[i].Get(), theirs[i].Get()) << "service " << i << " shared between two banks";
        EXPECT_NE(mine[i].Get(), direct_[i].Get()) << "service " << i << " shared between two collections";
    }
}

TEST_F(RegisteredBank, ConfigurePassesTheBankNameToTheHostsSettings) {
    ComPtr<ITorvoBank> bank = CreateBank();
    ASSERT_NE(nullptr, bank.Get());
    EXPECT_HR(S_OK, bank->Configure(0x1234));
    EXPECT_EQ(
        (referencehost::Texts{"bankSettings.Create()", "bankSettings.Run()",
                              "bankSettings.ConfigureBank(\"Kelmar Bank Paylode\", 3)", "bankSettings.Released()"}),
        Recorded());
}

TEST_F(RegisteredBank, ConfigureFailuresReachTheHostAsAnException) {
    const struct {
        const char* configuration;
        referencehost::Texts calls;
    } rows[] = {
        // The settings object cannot be created: the call through the null
        // object raises before anything else is called.
        {"[Failures]\r\nbankSettings.Create=0x80040154\r\n",
         {"bankSettings.Create() failed 0x80040154", "bankSettings.Released()"}},
        {"[Failures]\r\nbankSettings.Run=0x80004005\r\n",
         {"bankSettings.Create()", "bankSettings.Run() failed 0x80004005", "bankSettings.Released()"}},
        {"[Failures]\r\nbankSettings.ConfigureBank=0x80004005\r\n",
         {"bankSettings.Create()", "bankSettings.Run()",
          "bankSettings.ConfigureBank(\"Kelmar Bank Paylode\", 3) failed 0x80004005", "bankSettings.Released()"}},
    };
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        Configure(rows[i].configuration);
        ComPtr<ITorvoBank> bank = CreateBank();
        ASSERT_NE(nullptr, bank.Get());
        SetErrorInfo(0, nullptr);
        const std::size_t before = Recorded().size();
        EXPECT_HR(DISP_E_EXCEPTION, bank->Configure(0));
        EXPECT_EQ(L"<none>", DescriptionOnThread()) << "the host's error information is not passed on";
        const referencehost::Texts recorded = Recorded();
        EXPECT_EQ(rows[i].calls, referencehost::Texts(recorded.begin() + before, recorded.end()));
    }
}

}  // namespace
}  // namespace paylode
