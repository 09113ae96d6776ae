// Under Wine: the class objects of the DLL as COM uses them, through its
// exports: one class object per class, the class factory's answers,
// aggregation, and the module's lock count that DllCanUnloadNow reads.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <string>

#include "TorvoKelmarBankPaylode.h"
#include "support/HResultAssert.h"
#include "common/win/Platform.h"

namespace paylode {
namespace {

using Microsoft::WRL::ComPtr;

using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// Each class with its own dual interface.
struct ClassRow {
    const CLSID* clsid;
    const IID* dual;
};
// clang-format off
const ClassRow kClassRows[] = {
    {&CLSID_Bank, &IID_IBank},
    {&CLSID_BankServices, &IID_IBankServices},
    {&CLSID_BankPaymentService, &IID_IBankPaymentService},
    {&CLSID_BankStatementService, &IID_IBankStatementService},
};
// clang-format on

// An outer object that aggregates one of the component's objects and counts
// the references its inner object's interfaces take on it.
class COuter final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, object) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    ULONG references = 1;
    ComPtr<IUnknown> inner;
};

class ClassObjects : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HR(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        module_ = LoadLibraryW(L"TorvoKelmarBankPaylode.DLL");
        ASSERT_NE(nullptr, module_) << GetLastError();
        canUnload_ =
            reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
        getClassObject_ =
            reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        ASSERT_NE(nullptr, canUnload_);
        ASSERT_NE(nullptr, getClassObject_);
    }
    void TearDown() override {
        if (module_ != nullptr) {
            EXPECT_HR(S_OK, canUnload_()) << "something of the component is still alive";
            FreeLibrary(module_);
        }
        CoUninitialize();
    }
    ComPtr<IClassFactory> Factory(const CLSID& clsid) {
        ComPtr<IClassFactory> factory;
        EXPECT_HR(S_OK, getClassObject_(clsid, IID_IClassFactory, &factory));
        return factory;
    }

    HMODULE module_ = nullptr;
    CanUnloadNow canUnload_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
};

TEST_F(ClassObjects, OneClassObjectPerClassAnsweringItsInterfaces) {
    for (const ClassRow& row : kClassRows) {
        SCOPED_TRACE(testing::Message() << "class " << (&row - kClassRows));
        ComPtr<IUnknown> first, second;
        ASSERT_HR(S_OK, getClassObject_(*row.clsid, IID_IUnknown, &first));
        ASSERT_HR(S_OK, getClassObject_(*row.clsid, IID_IClassFactory, &second));
        ComPtr<IUnknown> secondIdentity;
        ASSERT_HR(S_OK, second.As(&secondIdentity));
        EXPECT_EQ(first.Get(), secondIdentity.Get());
        ComPtr<IUnknown> none;
        EXPECT_HR(E_NOINTERFACE, first->QueryInterface(IID_IDispatch, &none));
        EXPECT_EQ(nullptr, none.Get());
    }
    ComPtr<IUnknown> ofOtherClass;
    EXPECT_HR(S_OK, getClassObject_(CLSID_Bank, IID_IUnknown, &ofOtherClass));
    ComPtr<IUnknown> ofServices;
    EXPECT_HR(S_OK, getClassObject_(CLSID_BankServices, IID_IUnknown, &ofServices));
    EXPECT_NE(ofOtherClass.Get(), ofServices.Get());
}

TEST_F(ClassObjects, EveryClassIsMadeForItsDualInterface) {
    for (const ClassRow& row : kClassRows) {
        SCOPED_TRACE(testing::Message() << "class " << (&row - kClassRows));
        ComPtr<IClassFactory> factory = Factory(*row.clsid);
        ASSERT_NE(nullptr, factory.Get());
        ComPtr<IDispatch> object;
        ASSERT_HR(S_OK, factory->CreateInstance(nullptr, *row.dual, &object));
        EXPECT_HR(S_FALSE, canUnload_());
    }
}

TEST_F(ClassObjects, TheLockCountFollowsObjectsLocksAndClassObjectReferences) {
    EXPECT_HR(S_OK, canUnload_());
    {
        ComPtr<IClassFactory> factory = Factory(CLSID_Bank);
        EXPECT_HR(S_FALSE, canUnload_()) << "an outside reference on a class object";
        factory->LockServer(TRUE);
        factory.Reset();
        EXPECT_HR(S_FALSE, canUnload_()) << "a LockServer(TRUE)";
        ASSERT_HR(S_OK, getClassObject_(CLSID_Bank, IID_IClassFactory, &factory));
        factory->LockServer(FALSE);
    }
    EXPECT_HR(S_OK, canUnload_());
    ComPtr<IBank> bank;
    ASSERT_HR(S_OK, Factory(CLSID_Bank)->CreateInstance(nullptr, IID_IBank, &bank));
    EXPECT_HR(S_FALSE, canUnload_()) << "a live bank";
    ComPtr<ITorvoBankServices> services;
    ASSERT_HR(S_OK, bank->GetServices(&services));
    bank.Reset();
    EXPECT_HR(S_FALSE, canUnload_()) << "a live collection";
    services.Reset();
    EXPECT_HR(S_OK, canUnload_());
}

TEST_F(ClassObjects, CreateInstanceRefusals) {
    ComPtr<IClassFactory> factory = Factory(CLSID_Bank);
    COuter outer;
    struct Row {
        IUnknown* outer;
        const IID* iid;
        bool nullOut;
        HRESULT expected;
    };
    // clang-format off
    const Row rows[] = {
        {nullptr, &IID_IBank, true, E_POINTER},
        {&outer, &IID_IUnknown, true, E_POINTER},
        {&outer, &IID_IBank, false, CLASS_E_NOAGGREGATION},
        {&outer, &IID_IDispatch, false, CLASS_E_NOAGGREGATION},
        {nullptr, &IID_IClassFactory, false, E_NOINTERFACE},
        {nullptr, &IID_IBankServices, false, E_NOINTERFACE},
        {nullptr, &IID_ITorvoBankService, false, E_NOINTERFACE},
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        void* object = reinterpret_cast<void*>(1);
        const HRESULT hr = factory->CreateInstance(rows[i].outer, *rows[i].iid, rows[i].nullOut ? nullptr : &object);
        EXPECT_HR(rows[i].expected, hr);
        if (!rows[i].nullOut) {
            EXPECT_EQ(nullptr, object);
        }
        EXPECT_EQ(1u, outer.references);
    }
    factory.Reset();
    EXPECT_HR(S_OK, canUnload_()) << "a refused object is destroyed again";
}

TEST_F(ClassObjects, EveryClassCanBeAggregated) {
    for (const ClassRow& row : kClassRows) {
        SCOPED_TRACE(testing::Message() << "class " << (&row - kClassRows));
        COuter outer;
        ASSERT_HR(S_OK, Factory(*row.clsid)->CreateInstance(&outer, IID_IUnknown, &outer.inner));
        EXPECT_NE(static_cast<IUnknown*>(&outer), outer.inner.Get()) << "the inner object's own IUnknown";
        EXPECT_EQ(1u, outer.references);

        // The inner object's interfaces answer for the outer object.
        ComPtr<IDispatch> dual;
        ASSERT_HR(S_OK, outer.QueryInterface(*row.dual, &dual));
        EXPECT_EQ(2u, outer.references) << "the interface's reference is the outer object's";
        ComPtr<IUnknown> identity;
        ASSERT_HR(S_OK, dual->QueryInterface(IID_IUnknown, &identity));
        EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
        identity.Reset();
        ComPtr<ISupportErrorInfo> errorInfo;
        ASSERT_HR(S_OK, dual.As(&errorInfo));
        EXPECT_HR(S_OK, errorInfo->InterfaceSupportsErrorInfo(*row.dual));
        errorInfo.Reset();
        dual.Reset();
        EXPECT_EQ(1u, outer.references);
        EXPECT_HR(S_FALSE, canUnload_());
        outer.inner.Reset();
        EXPECT_HR(S_OK, canUnload_());
    }
}

}  // namespace
}  // namespace paylode
