// Under Wine: the type library embedded in the built DLL, as a host or a
// script client loads it from the file (nothing registered).
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <string>

#include "common/win/Platform.h"
#include "TorvoKelmarBankPaylode.h"

namespace paylode::test {
namespace {

using Microsoft::WRL::ComPtr;

std::wstring DllPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path, length);
    return result.substr(0, result.find_last_of(L"\\/") + 1) + L"TorvoKelmarBankPaylode.DLL";
}

std::wstring Text(BSTR text) {
    std::wstring result = text != nullptr ? text : L"";
    SysFreeString(text);
    return result;
}

std::wstring NameOf(ITypeInfo* info) {
    BSTR name = nullptr;
    if (FAILED(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr))) return L"<none>";
    return Text(name);
}

std::wstring DescriptionOf(ITypeInfo* info) {
    BSTR description = nullptr;
    if (FAILED(info->GetDocumentation(MEMBERID_NIL, nullptr, &description, nullptr, nullptr))) return L"<none>";
    return Text(description);
}

std::wstring LibraryNameOf(ITypeInfo* info) {
    ComPtr<ITypeLib> library;
    UINT index = 0;
    BSTR name = nullptr;
    if (FAILED(info->GetContainingTypeLib(&library, &index)) ||
        FAILED(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr)))
        return L"<none>";
    return Text(name);
}

struct TypeAttributes {
    explicit TypeAttributes(ITypeInfo* owner) : info(owner) { EXPECT_EQ(S_OK, info->GetTypeAttr(&attr)); }
    ~TypeAttributes() {
        if (attr != nullptr) info->ReleaseTypeAttr(attr);
    }
    TypeAttributes(const TypeAttributes&) = delete;
    TypeAttributes& operator=(const TypeAttributes&) = delete;
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
};

ComPtr<ITypeInfo> ImplementedType(ITypeInfo* info, UINT index) {
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> implemented;
    if (FAILED(info->GetRefTypeOfImplType(index, &ref)) || FAILED(info->GetRefTypeInfo(ref, &implemented)))
        return nullptr;
    return implemented;
}

class ComponentTypeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        const HRESULT hr = LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE, &library_);
        ASSERT_EQ(S_OK, hr) << std::hex << hr;
    }
    void TearDown() override {
        library_.Reset();
        CoUninitialize();
    }
    ComPtr<ITypeLib> library_;
};

TEST_F(ComponentTypeLibrary, CarriesItsNameHelpStringLibidAndVersion) {
    BSTR name = nullptr;
    BSTR help = nullptr;
    ASSERT_EQ(S_OK, library_->GetDocumentation(-1, &name, &help, nullptr, nullptr));
    EXPECT_EQ(L"TORVOKELMARBANKPAYLODELib", Text(name));
    EXPECT_EQ(L"TorvoKelmarBankPaylode 1.0 Type Library", Text(help));

    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, library_->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(LIBID_TORVOKELMARBANKPAYLODELib, attr->guid));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    library_->ReleaseTLibAttr(attr);

    // Four interfaces and four classes: the host's interfaces are imported,
    // never copied into the component's library.
    EXPECT_EQ(8u, library_->GetTypeInfoCount());
}

struct InterfaceRow {
    const IID* iid;
    const wchar_t* name;
    const wchar_t* description;
    const wchar_t* base;
    const wchar_t* baseLibrary;
    unsigned slots;  // the whole vtable, IUnknown and IDispatch included
};

const InterfaceRow kInterfaces[] = {
    {&IID_IBank, L"IBank", L"IBank Interface", L"ITorvoBank", L"TorvoEBanking", 11},
    {&IID_IBankServices, L"IBankServices", L"IBankServices Interface", L"ITorvoBankServices", L"TorvoEBanking", 10},
    {&IID_IBankPaymentService, L"IBankPaymentService", L"IBankPaymentService Interface",
     L"ITorvoBankPaymentService", L"TorvoBankPayments", 14},
    {&IID_IBankStatementService, L"IBankStatementService", L"IBankStatementService Interface",
     L"ITorvoBankStatementService", L"TorvoBankReconciliation", 14},
};

TEST_F(ComponentTypeLibrary, EachInterfaceIsDualAndAddsNothingToItsHostInterface) {
    for (size_t row = 0; row < std::size(kInterfaces); ++row) {
        const InterfaceRow& expected = kInterfaces[row];
        SCOPED_TRACE(testing::Message() << "row " << row);
        ComPtr<ITypeInfo> dispatchSide;
        ASSERT_EQ(S_OK, library_->GetTypeInfoOfGuid(*expected.iid, &dispatchSide));
        EXPECT_EQ(expected.name, NameOf(dispatchSide.Get()));
        EXPECT_EQ(expected.description, DescriptionOf(dispatchSide.Get()));
        {
            TypeAttributes attributes(dispatchSide.Get());
            ASSERT_NE(nullptr, attributes.attr);
            EXPECT_EQ(TKIND_DISPATCH, attributes.attr->typekind);
            EXPECT_NE(0, attributes.attr->wTypeFlags & TYPEFLAG_FDUAL);
        }

        ComPtr<ITypeInfo> vtable = ImplementedType(dispatchSide.Get(), static_cast<UINT>(-1));
        ASSERT_NE(nullptr, vtable);
        TypeAttributes attributes(vtable.Get());
        ASSERT_NE(nullptr, attributes.attr);
        EXPECT_EQ(TKIND_INTERFACE, attributes.attr->typekind);
        EXPECT_NE(0, attributes.attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
        EXPECT_EQ(0, attributes.attr->cFuncs);
        EXPECT_EQ(expected.slots * sizeof(void*), attributes.attr->cbSizeVft);

        ComPtr<ITypeInfo> base = ImplementedType(vtable.Get(), 0);
        ASSERT_NE(nullptr, base);
        EXPECT_EQ(expected.base, NameOf(base.Get()));
        EXPECT_EQ(expected.baseLibrary, LibraryNameOf(base.Get()));
    }
}

struct ClassRow {
    const CLSID* clsid;
    const wchar_t* name;
    const wchar_t* description;
    const wchar_t* defaultInterface;
};

const ClassRow kClasses[] = {
    {&CLSID_Bank, L"Bank", L"Bank Class", L"IBank"},
    {&CLSID_BankServices, L"BankServices", L"BankServices Class", L"IBankServices"},
    {&CLSID_BankPaymentService, L"BankPaymentService", L"BankPaymentService Class", L"IBankPaymentService"},
    {&CLSID_BankStatementService, L"BankStatementService", L"BankStatementService Class",
     L"IBankStatementService"},
};

TEST_F(ComponentTypeLibrary, EachClassIsCreatableWithItsOwnInterfaceAsDefault) {
    for (size_t row = 0; row < std::size(kClasses); ++row) {
        const ClassRow& expected = kClasses[row];
        SCOPED_TRACE(testing::Message() << "row " << row);
        ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(S_OK, library_->GetTypeInfoOfGuid(*expected.clsid, &coclass));
        EXPECT_EQ(expected.name, NameOf(coclass.Get()));
        EXPECT_EQ(expected.description, DescriptionOf(coclass.Get()));
        {
            TypeAttributes attributes(coclass.Get());
            ASSERT_NE(nullptr, attributes.attr);
            EXPECT_EQ(TKIND_COCLASS, attributes.attr->typekind);
            EXPECT_NE(0, attributes.attr->wTypeFlags & TYPEFLAG_FCANCREATE);
            ASSERT_EQ(1, attributes.attr->cImplTypes);
        }
        INT flags = 0;
        ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(0, &flags));
        EXPECT_NE(0, flags & IMPLTYPEFLAG_FDEFAULT);
        ComPtr<ITypeInfo> iface = ImplementedType(coclass.Get(), 0);
        ASSERT_NE(nullptr, iface);
        EXPECT_EQ(expected.defaultInterface, NameOf(iface.Get()));
    }
}

}  // namespace
}  // namespace paylode::test
