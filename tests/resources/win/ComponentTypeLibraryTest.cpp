// Under Wine: the type library embedded in the built DLL, as a host or a
// script client loads it from the file (nothing registered).
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <string>

#include "common/win/Platform.h"
#include "TorvoKelmarBankPaylode.h"
#include "support/TypeInfoInspect.h"
#include "support/HResultAssert.h"

namespace paylode::test {
namespace {

using Microsoft::WRL::ComPtr;

std::string LibraryNameOf(ITypeInfo* info) {
    ComPtr<ITypeLib> library;
    UINT index = 0;
    BSTR name = nullptr;
    if (FAILED(info->GetContainingTypeLib(&library, &index)) ||
        FAILED(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr)))
        return "<none>";
    return TakeText(name);
}

class ComponentTypeLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HR(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        const std::wstring dll = ProgramDirectoryPath(L"TorvoKelmarBankPaylode.DLL");
        const HRESULT hr = LoadTypeLibEx(dll.c_str(), REGKIND_NONE, &library_);
        ASSERT_HR(S_OK, hr) << std::hex << hr;
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
    ASSERT_HR(S_OK, library_->GetDocumentation(-1, &name, &help, nullptr, nullptr));
    EXPECT_EQ("TORVOKELMARBANKPAYLODELib", TakeText(name));
    EXPECT_EQ("TorvoKelmarBankPaylode 1.0 Type Library", TakeText(help));

    TLIBATTR* attr = nullptr;
    ASSERT_HR(S_OK, library_->GetLibAttr(&attr));
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
    const char* name;
    const char* description;
    const char* base;
    const char* baseLibrary;
    unsigned slots;  // the whole vtable, IUnknown and IDispatch included
};

// clang-format off
const InterfaceRow kInterfaces[] = {
    {&IID_IBank, "IBank", "IBank Interface", "ITorvoBank", "TorvoEBanking", 11},
    {&IID_IBankServices, "IBankServices", "IBankServices Interface", "ITorvoBankServices", "TorvoEBanking", 10},
    {&IID_IBankPaymentService, "IBankPaymentService", "IBankPaymentService Interface",
     "ITorvoBankPaymentService", "TorvoBankPayments", 14},
    {&IID_IBankStatementService, "IBankStatementService", "IBankStatementService Interface",
     "ITorvoBankStatementService", "TorvoBankReconciliation", 14},
};
// clang-format on

TEST_F(ComponentTypeLibrary, EachInterfaceIsDualAndAddsNothingToItsHostInterface) {
    for (size_t row = 0; row < std::size(kInterfaces); ++row) {
        const InterfaceRow& expected = kInterfaces[row];
        SCOPED_TRACE(testing::Message() << "row " << row);
        ComPtr<ITypeInfo> dispatchSide;
        ASSERT_HR(S_OK, library_->GetTypeInfoOfGuid(*expected.iid, &dispatchSide));
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
    const char* name;
    const char* description;
    const char* defaultInterface;
};

// clang-format off
const ClassRow kClasses[] = {
    {&CLSID_Bank, "Bank", "Bank Class", "IBank"},
    {&CLSID_BankServices, "BankServices", "BankServices Class", "IBankServices"},
    {&CLSID_BankPaymentService, "BankPaymentService", "BankPaymentService Class", "IBankPaymentService"},
    {&CLSID_BankStatementService, "BankStatementService", "BankStatementService Class",
     "IBankStatementService"},
};
// clang-format on

TEST_F(ComponentTypeLibrary, EachClassIsCreatableWithItsOwnInterfaceAsDefault) {
    for (size_t row = 0; row < std::size(kClasses); ++row) {
        const ClassRow& expected = kClasses[row];
        SCOPED_TRACE(testing::Message() << "row " << row);
        ComPtr<ITypeInfo> coclass;
        ASSERT_HR(S_OK, library_->GetTypeInfoOfGuid(*expected.clsid, &coclass));
        EXPECT_EQ(expected.description, DescriptionOf(coclass.Get()));
        ExpectCreatableClass(coclass.Get(), expected.name, expected.defaultInterface);
    }
}

}  // namespace
}  // namespace paylode::test
