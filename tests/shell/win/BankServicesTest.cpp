// Under Wine: the services collection's list, finding a service by position
// and by name with every kind of index, and the enumerator, over a
// collection holding two counting services named as the real ones, so that
// every reference the collection or an enumerator keeps shows.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <string>

#include "combase/BankServiceBase.h"
#include "shell/BankServices.h"
#include "common/win/Owners.h"
#include "support/ErrorInfoText.h"
#include "support/HResultAssert.h"

namespace paylode {
namespace {

using Microsoft::WRL::ComPtr;

// A service that counts its references and has nothing of its own.
class CCountedService final : public ISupportErrorInfo,
                              public CBankServiceBase<IBankPaymentService, ITorvoBankPaymentService> {
public:
    explicit CCountedService(const wchar_t* name) : CBankServiceBase(name) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return QueryServiceInterface(this, iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return SupportsErrorInfo(iid); }
    STDMETHODIMP GetStatusText(LONG, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP ProcessPayments(ITorvoBankPayments*, ITorvoBankAccount*) override { return E_NOTIMPL; }

    ULONG references = 0;
};

std::string NameOf(ITorvoBankService* service) {
    CBstr name;
    if (service == nullptr || FAILED(service->GetName(name.Receive()))) return "<none>";
    std::string text;
    for (UINT i = 0; i < name.Length(); ++i) text += static_cast<char>(name.Get()[i]);
    return text;
}

std::string NameOf(IDispatch* dispatch) {
    ComPtr<ITorvoBankPaymentService> service;
    if (dispatch == nullptr || FAILED(dispatch->QueryInterface(IID_ITorvoBankPaymentService, &service))) {
        return "<none>";
    }
    return NameOf(service.Get());
}

class BankServicesList : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HR(S_OK, CreateInstanceOf<CBankServices>(nullptr, IID_IBankServices, &services_));
        auto* list = static_cast<CBankServices*>(services_.Get());
        list->RemoveAll();
        list->Add(&payment_);
        list->Add(&statement_);
    }
    void TearDown() override {
        services_.Reset();
        EXPECT_EQ(0u, payment_.references) << "a reference on the payment service was kept";
        EXPECT_EQ(0u, statement_.references) << "a reference on the statement service was kept";
    }

    CCountedService payment_{L"Bank Payment Service"};
    CCountedService statement_{L"Bank Reconciliation Service"};
    ComPtr<IBankServices> services_;
};

TEST_F(BankServicesList, GetItemByPositionAndByName) {
    const CBstr reconciliationName = CBstr::Make(L"Bank Reconciliation Service");
    BSTR reconciliation = reconciliationName.Get();  // borrowed by the VARIANTs below
    VARIANT byName;
    VariantInit(&byName);
    V_VT(&byName) = VT_BSTR;
    V_BSTR(&byName) = reconciliation;

    struct Row {
        VARTYPE type;
        LONG number;           // for the numeric types
        const wchar_t* text;   // for VT_BSTR
        const char* expected;  // the service's name, or null for 0x800AFFFC
    };
    // clang-format off
    const Row rows[] = {
        {VT_I4, 0, nullptr, "Bank Payment Service"},
        {VT_I2, 1, nullptr, "Bank Reconciliation Service"},
        {VT_UI1, 1, nullptr, "Bank Reconciliation Service"},
        {VT_R8, 1, nullptr, "Bank Reconciliation Service"},
        {VT_I4, 2, nullptr, nullptr},
        {VT_I4, -1, nullptr, nullptr},
        {VT_BOOL, VARIANT_TRUE, nullptr, nullptr},
        {VT_BSTR, 0, L"Bank Payment Service", "Bank Payment Service"},
        {VT_BSTR, 0, L"Bank Reconciliation Service", "Bank Reconciliation Service"},
        {VT_BSTR, 0, L"bank reconciliation service", nullptr},
        {VT_BSTR, 0, L"BANK PAYMENT SERVICE", nullptr},
        {VT_BSTR, 0, L"Bank Reconciliation Service ", nullptr},
        {VT_BSTR, 0, L"1", nullptr},
        {VT_BSTR, 0, L"", nullptr},
        {VT_EMPTY, 0, nullptr, nullptr},
        {VT_NULL, 0, nullptr, nullptr},
        {VT_ERROR, 0, nullptr, nullptr},
        {VT_BSTR | VT_BYREF, 0, nullptr, "Bank Reconciliation Service"},
        {VT_BSTR | VT_BYREF, 1, nullptr, nullptr},  // a null reference
        {VT_VARIANT | VT_BYREF, 0, nullptr, "Bank Reconciliation Service"},
        {VT_UNKNOWN, 0, nullptr, nullptr},
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(testing::Message() << "row " << i);
        CVariant held;
        VARIANT& index = *held.Receive();
        V_VT(&index) = row.type;
        switch (row.type) {
        case VT_I4: V_I4(&index) = row.number; break;
        case VT_I2: V_I2(&index) = static_cast<SHORT>(row.number); break;
        case VT_UI1: V_UI1(&index) = static_cast<BYTE>(row.number); break;
        case VT_R8: V_R8(&index) = row.number; break;
        case VT_BOOL: V_BOOL(&index) = static_cast<VARIANT_BOOL>(row.number); break;
        case VT_BSTR: V_BSTR(&index) = SysAllocString(row.text); break;
        case VT_ERROR: V_ERROR(&index) = DISP_E_PARAMNOTFOUND; break;
        case VT_BSTR | VT_BYREF: V_BSTRREF(&index) = row.number == 0 ? &reconciliation : nullptr; break;
        case VT_VARIANT | VT_BYREF: V_VARIANTREF(&index) = &byName; break;
        case VT_UNKNOWN: V_UNKNOWN(&index) = nullptr; break;
        default: break;
        }
        SetErrorInfo(0, nullptr);
        ComPtr<ITorvoBankService> found;
        const HRESULT hr = services_->GetItem(&index, &found);
        if (row.expected != nullptr) {
            EXPECT_HR(S_OK, hr);
            EXPECT_EQ(row.expected, NameOf(found.Get()));
        } else {
            EXPECT_HR(0x800AFFFC, hr);
            EXPECT_EQ(nullptr, found.Get());
            EXPECT_EQ(L"Invalid argument", test::DescriptionOnThread());
        }
    }
    ComPtr<ITorvoBankService> none;
    EXPECT_HR(0x800AFFFC, services_->GetItem(nullptr, &none));
    VARIANT zero;
    VariantInit(&zero);
    V_VT(&zero) = VT_I4;
    V_I4(&zero) = 0;
    EXPECT_HR(0x800AFFFC, services_->GetItem(&zero, nullptr));
    EXPECT_EQ(1u, payment_.references);
    EXPECT_EQ(1u, statement_.references);
}

TEST_F(BankServicesList, CountAndNullOutPointers) {
    LONG count = 0;
    ASSERT_HR(S_OK, services_->GetCount(&count));
    EXPECT_EQ(2, count);
    EXPECT_HR(0x800AFFFC, services_->GetCount(nullptr));
    EXPECT_HR(0x800AFFFC, services_->GetNewEnum(nullptr));
}

TEST_F(BankServicesList, AddTakesAReferenceAndRemoveAllGivesEveryOneBack) {
    auto* list = static_cast<CBankServices*>(services_.Get());
    CCountedService extra(L"Extra");
    for (int i = 0; i < 9; ++i) list->Add(&extra);
    EXPECT_EQ(9u, extra.references);
    HResult thrown = S_OK;
    try {
        list->Add(nullptr);
    } catch (const CFailure& failure) {
        thrown = failure.Code();
    }
    EXPECT_HR(kInvalidArg, thrown);
    EXPECT_EQ(11, list->Items().GetCount());
    list->RemoveAll();
    EXPECT_EQ(0, list->Items().GetCount());
    EXPECT_EQ(0u, extra.references);
    EXPECT_EQ(0u, payment_.references);
}

TEST_F(BankServicesList, TheEnumeratorsSequence) {
    ComPtr<IUnknown> unknown;
    ASSERT_HR(S_OK, services_->GetNewEnum(&unknown));
    ComPtr<IEnumVARIANT> items;
    ASSERT_HR(S_OK, unknown.As(&items));
    EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(items.Get()));
    unknown.Reset();

    VARIANT got[10];
    for (VARIANT& item : got) {
        V_VT(&item) = VT_I4;  // Next initialises what it is asked for
        V_I4(&item) = 7;
    }
    ULONG fetched = 99;
    EXPECT_HR(S_FALSE, items->Next(10, got, &fetched));
    ASSERT_EQ(2u, fetched);
    ASSERT_EQ(VT_DISPATCH, V_VT(&got[0]));
    EXPECT_EQ("Bank Payment Service", NameOf(V_DISPATCH(&got[0])));
    EXPECT_EQ("Bank Reconciliation Service", NameOf(V_DISPATCH(&got[1])));
    EXPECT_EQ(VT_EMPTY, V_VT(&got[2]));
    EXPECT_EQ(VT_EMPTY, V_VT(&got[9]));
    for (VARIANT& item : got) VariantClear(&item);

    EXPECT_HR(S_FALSE, items->Next(10, got, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_HR(S_OK, items->Next(0, nullptr, &fetched)) << "nothing asked, nothing missing";
    EXPECT_HR(E_POINTER, items->Next(1, nullptr, nullptr));

    EXPECT_HR(S_OK, items->Reset());
    EXPECT_HR(S_OK, items->Skip(2));
    EXPECT_HR(S_FALSE, items->Skip(1));
    EXPECT_HR(S_FALSE, items->Next(1, got, nullptr));
    EXPECT_HR(S_OK, items->Reset());
    EXPECT_HR(S_FALSE, items->Skip(5));
    EXPECT_HR(S_FALSE, items->Next(1, got, &fetched));
    EXPECT_EQ(0u, fetched);

    // A clone starts where its original stands and then goes its own way.
    EXPECT_HR(S_OK, items->Reset());
    EXPECT_HR(S_OK, items->Skip(1));
    ComPtr<IEnumVARIANT> clone;
    ASSERT_HR(S_OK, items->Clone(&clone));
    EXPECT_NE(items.Get(), clone.Get());
    EXPECT_HR(E_POINTER, items->Clone(nullptr));
    EXPECT_HR(S_OK, clone->Next(1, got, &fetched));
    EXPECT_EQ("Bank Reconciliation Service", NameOf(V_DISPATCH(&got[0])));
    VariantClear(&got[0]);
    EXPECT_HR(S_OK, items->Next(1, got, nullptr));
    EXPECT_EQ("Bank Reconciliation Service", NameOf(V_DISPATCH(&got[0])));
    VariantClear(&got[0]);
    EXPECT_HR(S_OK, items->Reset());
    EXPECT_HR(S_FALSE, clone->Next(1, got, nullptr)) << "the clone's position is its own";

    ComPtr<IUnknown> identity;
    EXPECT_HR(S_OK, clone->QueryInterface(IID_IUnknown, &identity));
    EXPECT_EQ(static_cast<IUnknown*>(clone.Get()), identity.Get());
    ComPtr<IDispatch> none;
    EXPECT_HR(E_NOINTERFACE, clone->QueryInterface(IID_IDispatch, &none));
    EXPECT_HR(E_POINTER, clone->QueryInterface(IID_IUnknown, nullptr));
}

TEST_F(BankServicesList, AnEnumeratorKeepsTheCollectionAlive) {
    ComPtr<IUnknown> unknown;
    ASSERT_HR(S_OK, services_->GetNewEnum(&unknown));
    ComPtr<IEnumVARIANT> items;
    ASSERT_HR(S_OK, unknown.As(&items));
    unknown.Reset();
    ComPtr<IEnumVARIANT> clone;
    ASSERT_HR(S_OK, items->Clone(&clone));
    services_.Reset();
    EXPECT_EQ(1u, payment_.references) << "the collection went while enumerated";

    VARIANT got[2];
    ULONG fetched = 0;
    ASSERT_HR(S_OK, items->Next(2, got, &fetched));
    EXPECT_EQ("Bank Payment Service", NameOf(V_DISPATCH(&got[0])));
    EXPECT_EQ("Bank Reconciliation Service", NameOf(V_DISPATCH(&got[1])));
    for (VARIANT& item : got) VariantClear(&item);
    items.Reset();
    EXPECT_EQ(1u, payment_.references) << "the clone holds the collection too";
    ASSERT_HR(S_OK, clone->Next(1, got, &fetched));
    VariantClear(&got[0]);
    clone.Reset();
    EXPECT_EQ(0u, payment_.references);
    EXPECT_EQ(0u, statement_.references);
}

TEST(BankServicesClass, AnswersItsInterfacesInOrder) {
    ComPtr<IUnknown> object;
    ASSERT_HR(S_OK, CreateInstanceOf<CBankServices>(nullptr, IID_IUnknown, &object));
    auto* services = static_cast<CBankServices*>(static_cast<IDispatch*>(object.Get()));
    IDispatch* dual = static_cast<IBankServices*>(services);
    EXPECT_EQ(static_cast<IUnknown*>(dual), object.Get()) << "IUnknown is the first interface, IDispatch";
    const struct {
        const IID* iid;
        const void* expected;
        HRESULT errorInfo;
    } rows[] = {
        {&IID_IDispatch, dual, S_FALSE},
        {&IID_ISupportErrorInfo, static_cast<ISupportErrorInfo*>(services), S_FALSE},
        {&IID_IBankServices, dual, S_OK},
        {&IID_ITorvoBankServices, dual, S_FALSE},
        {&IID_IUnknown, dual, S_FALSE},
        {&IID_IBank, nullptr, S_FALSE},
        {&IID_IEnumVARIANT, nullptr, S_FALSE},
    };
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        ComPtr<IUnknown> out;
        const HRESULT hr = object->QueryInterface(*rows[i].iid, reinterpret_cast<void**>(out.GetAddressOf()));
        EXPECT_HR(rows[i].expected != nullptr ? S_OK : E_NOINTERFACE, hr);
        EXPECT_EQ(rows[i].expected, static_cast<void*>(out.Get()));
        EXPECT_HR(rows[i].errorInfo, services->InterfaceSupportsErrorInfo(*rows[i].iid));
    }
}

}  // namespace
}  // namespace paylode
