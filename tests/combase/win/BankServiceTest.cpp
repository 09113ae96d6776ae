// Under Wine: the common half of the services through a small service class
// built on it, as the host sees it: the interfaces it answers, the base
// operations and their failures, and IDispatch served from the component's
// type library.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <climits>
#include <functional>
#include <string>

#include "TorvoKelmarBankPaylode.h"
#include "host/HostInterfaces.h"
#include "combase/BankServiceBase.h"
#include "support/ScopedRegistration.h"
#include "support/ErrorInfoText.h"
#include "support/HResultAssert.h"
#include "common/win/Owners.h"

namespace paylode {
namespace {

// A payment service with nothing of its own but a fixed status text.
class CTestService : public ISupportErrorInfo, public CBankServiceBase<IBankPaymentService, ITorvoBankPaymentService> {
public:
    CTestService() : CBankServiceBase(L"Bank Payment Service") {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return QueryServiceInterface(this, iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return SupportsErrorInfo(iid); }

    STDMETHODIMP GetStatusText(LONG, BSTR* text) override {
        return Guarded([&] {
            RequireArgument(text != nullptr);
            *text = SysAllocString(L"Processed OK");
        });
    }
    STDMETHODIMP ProcessPayments(ITorvoBankPayments*, ITorvoBankAccount*) override {
        SetStatus(3);
        return S_OK;
    }

    ULONG references = 1;
};

using test::DescriptionOnThread;

TEST(BankService, AnswersItsInterfacesInOrderButNotTheBaseServiceByItsOwnId) {
    CTestService service;
    IUnknown* dual = static_cast<IBankPaymentService*>(&service);
    struct Row {
        const IID* iid;
        const void* expected;
    };
    // clang-format off
    const Row rows[] = {
        {&IID_IBankPaymentService, dual},
        {&IID_ITorvoBankPaymentService, dual},
        {&IID_IDispatch, dual},
        {&IID_IUnknown, dual},
        {&IID_ISupportErrorInfo, static_cast<ISupportErrorInfo*>(&service)},
        {&IID_ITorvoBankService, nullptr},
        {&IID_IBankStatementService, nullptr},
        {&IID_ITorvoBankStatementService, nullptr},
        {&IID_IClassFactory, nullptr},
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        Microsoft::WRL::ComPtr<IUnknown> out;
        const HRESULT hr = dual->QueryInterface(*rows[i].iid, reinterpret_cast<void**>(out.GetAddressOf()));
        EXPECT_HR(rows[i].expected != nullptr ? S_OK : E_NOINTERFACE, hr);
        EXPECT_EQ(rows[i].expected, static_cast<void*>(out.Get()));
    }
    EXPECT_EQ(1u, service.references);
}

TEST(BankService, GivesErrorInformationForItsOwnDualInterfaceOnly) {
    CTestService service;
    const struct {
        const IID* iid;
        HRESULT answer;
    } rows[] = {{&IID_IBankPaymentService, S_OK},  {&IID_ITorvoBankPaymentService, S_FALSE},
                {&IID_ITorvoBankService, S_FALSE}, {&IID_IDispatch, S_FALSE},
                {&IID_IUnknown, S_FALSE},          {&IID_IBankStatementService, S_FALSE}};
    for (const auto& row : rows) EXPECT_HR(row.answer, service.InterfaceSupportsErrorInfo(*row.iid));
}

TEST(BankService, NameAndStatus) {
    CTestService service;
    CBstr first, second;
    ASSERT_HR(S_OK, service.GetName(first.Receive()));
    ASSERT_HR(S_OK, service.GetName(second.Receive()));
    EXPECT_EQ(std::wstring(L"Bank Payment Service"), std::wstring(first.Get(), first.Length()));
    EXPECT_NE(first.Get(), second.Get()) << "every caller gets a copy of its own";

    LONG status = -99;
    ASSERT_HR(S_OK, service.GetServiceStatus(&status));
    EXPECT_EQ(0, status);
    for (LONG value : {1L, 40L, -1L, 0L, static_cast<LONG>(INT_MIN), static_cast<LONG>(INT_MAX)}) {
        SCOPED_TRACE(value);
        EXPECT_HR(S_OK, service.SetServiceStatus(value));
        ASSERT_HR(S_OK, service.GetServiceStatus(&status));
        EXPECT_EQ(value, status);
    }
    ASSERT_HR(S_OK, service.ProcessPayments(nullptr, nullptr));
    ASSERT_HR(S_OK, service.GetServiceStatus(&status));
    EXPECT_EQ(3, status);

    VARIANT untouched;
    VariantInit(&untouched);
    untouched.vt = VT_I4;
    untouched.lVal = 42;
    EXPECT_HR(S_OK, service.GetExtraInfo(&untouched));
    EXPECT_HR(S_OK, service.GetExtraItem(7, &untouched));
    EXPECT_EQ(VT_I4, untouched.vt);
    EXPECT_EQ(42, untouched.lVal);
}

TEST(BankService, ANullOutPointerIsAnInvalidArgument) {
    CTestService service;
    ITorvoBankService* base = &service;
    // clang-format off
    const std::function<HRESULT()> calls[] = {
        [&] { return base->GetName(nullptr); },
        [&] { return base->GetServiceStatus(nullptr); },
        [&] { return base->GetExtraInfo(nullptr); },
        [&] { return base->GetExtraItem(0, nullptr); },
        [&] { return base->GetExtraItem(-3, nullptr); },
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof calls / sizeof calls[0]; ++i) {
        SCOPED_TRACE(i);
        SetErrorInfo(0, nullptr);
        EXPECT_HR(0x800AFFFC, calls[i]());
        EXPECT_EQ(L"Invalid argument", DescriptionOnThread());
    }
}

// IDispatch needs the component's type library registered: registering the
// DLL with regsvr32 does it, with nothing registered by hand.
class BankServiceDispatch : public testrig::WithRegisteredComponent<::testing::Test> {
protected:
    static void TearDownTestSuite() {
        ReleaseComponentTypeInfo();
        WithRegisteredComponent::TearDownTestSuite();
    }
    void SetUp() override { ASSERT_TRUE(component_->Registration().Succeeded()) << component_->Registration(); }

    static HRESULT Call(IDispatch* object, const wchar_t* name, DISPPARAMS* parameters, VARIANT* result) {
        DISPID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) return hr;
        return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, parameters, result, nullptr, nullptr);
    }

    CTestService service_;
};

TEST_F(BankServiceDispatch, TheTypeLibraryDescribesTheDualInterface) {
    IDispatch* dispatch = &service_;
    UINT count = 0;
    ASSERT_HR(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    Microsoft::WRL::ComPtr<ITypeInfo> info;
    EXPECT_HR(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, 0, &info));
    ASSERT_HR(S_OK, dispatch->GetTypeInfo(0, 0, &info));
    TYPEATTR* attributes = nullptr;
    ASSERT_HR(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(IID_IBankPaymentService, attributes->guid));
    info->ReleaseTypeAttr(attributes);

    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"GetServiceStatus")};
    EXPECT_HR(DISP_E_UNKNOWNINTERFACE, dispatch->GetIDsOfNames(IID_IDispatch, names, 1, 0, &id));
    ASSERT_HR(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
    EXPECT_EQ(2, id);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchOperation")};
    EXPECT_HR(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id));
}

TEST_F(BankServiceDispatch, ScriptCallsReachTheOperations) {
    IDispatch* dispatch = &service_;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    CVariant result;
    ASSERT_HR(S_OK, Call(dispatch, L"GetName", &none, result.Receive())) << "base operation";
    ASSERT_EQ(VT_BSTR, result.Get().vt);
    EXPECT_EQ(std::wstring(L"Bank Payment Service"), result.Get().bstrVal);

    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I4;
    argument.lVal = -7;
    DISPPARAMS one = {&argument, nullptr, 1, 0};
    ASSERT_HR(S_OK, Call(dispatch, L"SetServiceStatus", &one, nullptr));
    result.Reset();
    ASSERT_HR(S_OK, Call(dispatch, L"GetServiceStatus", &none, result.Receive()));
    EXPECT_EQ(VT_I4, result.Get().vt);
    EXPECT_EQ(-7, result.Get().lVal);

    argument.lVal = 20;
    result.Reset();
    ASSERT_HR(S_OK, Call(dispatch, L"GetStatusText", &one, result.Receive())) << "the payment service's own operation";
    ASSERT_EQ(VT_BSTR, result.Get().vt);
    EXPECT_EQ(std::wstring(L"Processed OK"), result.Get().bstrVal);
    EXPECT_EQ(1u, service_.references);
}

}  // namespace
}  // namespace paylode
