// Under Wine: the host framework's three type libraries as a host and the
// component load them, and the generated headers, against the slot table
// both sides bind to.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <map>
#include <string>

#include "host/HostInterfaces.h"
#include "support/HostSlots.h"
#include "support/TypeInfoInspect.h"
#include "support/HResultAssert.h"
#include "common/win/Owners.h"

namespace paylode::test {
namespace {

using Microsoft::WRL::ComPtr;

struct HostLibrary {
    const wchar_t* file;
    const GUID* libid;
    const wchar_t* name;
};

// clang-format off
const HostLibrary kLibraries[] = {
    {L"TorvoEBanking.tlb", &LIBID_TorvoEBanking, L"TorvoEBanking"},
    {L"TorvoBankPayments.tlb", &LIBID_TorvoBankPayments, L"TorvoBankPayments"},
    {L"TorvoBankReconciliation.tlb", &LIBID_TorvoBankReconciliation, L"TorvoBankReconciliation"},
};
// clang-format on

struct HostInterface {
    const wchar_t* file;  // the library that defines it
    const IID* iid;
    const char* name;
    bool dual;
    const char* base;
    unsigned lastSlot;
};

// clang-format off
const HostInterface kInterfaces[] = {
    {L"TorvoEBanking.tlb", &IID_ITorvoBank, "ITorvoBank", true, "IDispatch", 10},
    {L"TorvoEBanking.tlb", &IID_ITorvoBankServices, "ITorvoBankServices", true, "IDispatch", 9},
    {L"TorvoEBanking.tlb", &IID_ITorvoBankService, "ITorvoBankService", true, "IDispatch", 11},
    {L"TorvoEBanking.tlb", &IID_ITorvoBankSettings, "ITorvoBankSettings", false, "IDispatch", 9},
    {L"TorvoBankPayments.tlb", &IID_ITorvoBankPaymentService, "ITorvoBankPaymentService", true,
     "ITorvoBankService", 13},
    {L"TorvoBankPayments.tlb", &IID_ITorvoBankPayments, "ITorvoBankPayments", true, "IDispatch", 8},
    {L"TorvoBankPayments.tlb", &IID_ITorvoBankPayment, "ITorvoBankPayment", true, "IDispatch", 38},
    {L"TorvoBankPayments.tlb", &IID_ITorvoBankAccount, "ITorvoBankAccount", true, "IDispatch", 10},
    {L"TorvoBankPayments.tlb", &IID_ITorvoBankDetails, "ITorvoBankDetails", true, "IDispatch", 14},
    {L"TorvoBankReconciliation.tlb", &IID_ITorvoBankStatementService, "ITorvoBankStatementService", true,
     "ITorvoBankService", 13},
    {L"TorvoBankReconciliation.tlb", &IID_ITorvoBankStatement, "ITorvoBankStatement", true, "IDispatch", 13},
    {L"TorvoBankReconciliation.tlb", &IID_ITorvoBankTransaction, "ITorvoBankTransaction", true, "IDispatch", 43},
    {L"TorvoBankReconciliation.tlb", &IID_ITorvoStatementFileChooser, "ITorvoStatementFileChooser", false,
     "IDispatch", 11},
};
// clang-format on

ComPtr<ITypeLib> LoadLibraryFile(const wchar_t* file) {
    ComPtr<ITypeLib> library;
    const HRESULT hr = LoadTypeLibEx(ProgramDirectoryPath(file).c_str(), REGKIND_NONE, &library);
    EXPECT_HR(S_OK, hr) << std::hex << hr;
    return library;
}

// The vtable description of an interface: for a dual interface the type
// library hands out its dispatch side first, whose partner is the vtable.
ComPtr<ITypeInfo> VtableInfo(ITypeLib* library, const IID& iid) {
    ComPtr<ITypeInfo> info;
    HRESULT hr = library->GetTypeInfoOfGuid(iid, &info);
    EXPECT_HR(S_OK, hr) << std::hex << hr;
    if (FAILED(hr)) return nullptr;
    TYPEKIND kind;
    {
        TypeAttributes attributes(info.Get());
        if (attributes.attr == nullptr) return nullptr;
        kind = attributes.attr->typekind;
    }
    if (kind == TKIND_DISPATCH) {
        HREFTYPE partner = 0;
        ComPtr<ITypeInfo> vtable;
        hr = info->GetRefTypeOfImplType(-1, &partner);
        EXPECT_HR(S_OK, hr) << std::hex << hr;
        if (FAILED(hr) || FAILED(info->GetRefTypeInfo(partner, &vtable))) return nullptr;
        return vtable;
    }
    return info;
}

std::map<std::string, unsigned> SlotsOf(ITypeInfo* info) {
    std::map<std::string, unsigned> slots;
    TypeAttributes attributes(info);
    if (attributes.attr == nullptr) return slots;
    for (UINT i = 0; i < attributes.attr->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        slots[NameOf(info, function->memid)] = static_cast<unsigned>(function->oVft / sizeof(void*));
        info->ReleaseFuncDesc(function);
    }
    return slots;
}

const HostInterface* FindInterface(const std::string& name) {
    for (const auto& candidate : kInterfaces) {
        if (name == candidate.name) return &candidate;
    }
    return nullptr;
}

class HostTypeLibraries : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HR(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        for (const auto& library : kLibraries) libraries_[library.file] = LoadLibraryFile(library.file);
    }
    void TearDown() override {
        libraries_.clear();
        CoUninitialize();
    }
    ITypeLib* Library(const wchar_t* file) { return libraries_[file].Get(); }

    std::map<std::wstring, ComPtr<ITypeLib>> libraries_;
};

TEST_F(HostTypeLibraries, EachLoadsWithItsNameLibidAndVersion) {
    for (const auto& expected : kLibraries) {
        SCOPED_TRACE(testing::Message() << expected.file);
        ITypeLib* library = Library(expected.file);
        ASSERT_NE(nullptr, library);
        TLIBATTR* attr = nullptr;
        ASSERT_HR(S_OK, library->GetLibAttr(&attr));
        EXPECT_TRUE(IsEqualGUID(*expected.libid, attr->guid));
        EXPECT_EQ(1, attr->wMajorVerNum);
        EXPECT_EQ(0, attr->wMinorVerNum);
        library->ReleaseTLibAttr(attr);
        CBstr name;
        ASSERT_HR(S_OK, library->GetDocumentation(-1, name.Receive(), nullptr, nullptr, nullptr));
        EXPECT_STREQ(expected.name, name.Get());
    }
}

TEST_F(HostTypeLibraries, EachInterfaceHasItsKindBaseAndNoSlotsBeyondItsLast) {
    for (const auto& expected : kInterfaces) {
        SCOPED_TRACE(expected.name);
        ComPtr<ITypeInfo> dispatchSide;
        ASSERT_HR(S_OK, Library(expected.file)->GetTypeInfoOfGuid(*expected.iid, &dispatchSide));
        {
            TypeAttributes attributes(dispatchSide.Get());
            ASSERT_NE(nullptr, attributes.attr);
            EXPECT_EQ(expected.dual, (attributes.attr->wTypeFlags & TYPEFLAG_FDUAL) != 0);
        }
        ComPtr<ITypeInfo> vtable = VtableInfo(Library(expected.file), *expected.iid);
        ASSERT_NE(nullptr, vtable);
        EXPECT_EQ(expected.name, NameOf(vtable.Get()));

        HREFTYPE baseRef = 0;
        ComPtr<ITypeInfo> base;
        ASSERT_HR(S_OK, vtable->GetRefTypeOfImplType(0, &baseRef));
        ASSERT_HR(S_OK, vtable->GetRefTypeInfo(baseRef, &base));
        EXPECT_EQ(expected.base, NameOf(base.Get()));

        TypeAttributes attributes(vtable.Get());
        ASSERT_NE(nullptr, attributes.attr);
        EXPECT_EQ(TKIND_INTERFACE, attributes.attr->typekind);
        // Raw buffers cross the two framework objects: never marked for automation.
        EXPECT_EQ(expected.dual, (attributes.attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) != 0);
        EXPECT_EQ((expected.lastSlot + 1) * sizeof(void*), attributes.attr->cbSizeVft);
    }
}

TEST_F(HostTypeLibraries, InterfacesOfOneLibraryAreOnlyReferencedByTheOthers) {
    for (const auto& library : kLibraries) {
        for (const auto& iface : kInterfaces) {
            if (std::wstring(library.file) == iface.file) continue;
            SCOPED_TRACE(iface.name);
            ComPtr<ITypeInfo> copy;
            EXPECT_HR(TYPE_E_ELEMENTNOTFOUND, Library(library.file)->GetTypeInfoOfGuid(*iface.iid, &copy));
        }
    }
}

TEST_F(HostTypeLibraries, EveryOperationSitsAtItsSlot) {
    for (size_t row = 0; row < std::size(kHostSlots); ++row) {
        const HostSlot& expected = kHostSlots[row];
        SCOPED_TRACE(testing::Message() << "row " << row << ": " << expected.interfaceName
                                        << "::" << expected.operation);
        const HostInterface* iface = FindInterface(expected.interfaceName);
        ASSERT_NE(nullptr, iface);
        ComPtr<ITypeInfo> vtable = VtableInfo(Library(iface->file), *iface->iid);
        ASSERT_NE(nullptr, vtable);
        const auto slots = SlotsOf(vtable.Get());
        const auto found = slots.find(expected.operation);
        ASSERT_NE(slots.end(), found);
        EXPECT_EQ(expected.slot, found->second);
    }
}

TEST(HostHeaders, EveryOperationSitsAtItsSlotInTheGeneratedVtables) {
    const auto header = HeaderSlots();
    ASSERT_EQ(std::size(kHostSlots), header.size());
    for (size_t row = 0; row < header.size(); ++row) {
        SCOPED_TRACE(testing::Message() << "row " << row << ": " << kHostSlots[row].interfaceName
                                        << "::" << kHostSlots[row].operation);
        EXPECT_EQ(kHostSlots[row].slot, header[row].slot);
    }
}

TEST_F(HostTypeLibraries, TheFrameworkObjectsAreCreatableClassesWithTheirInterfaceAsDefault) {
    struct Row {
        const wchar_t* file;
        const CLSID* clsid;
        const char* name;
        const char* defaultInterface;
    };
    // clang-format off
    const Row rows[] = {
        {L"TorvoEBanking.tlb", &CLSID_TorvoBankSettings, "TorvoBankSettings", "ITorvoBankSettings"},
        {L"TorvoBankReconciliation.tlb", &CLSID_TorvoStatementFileChooser, "TorvoStatementFileChooser",
         "ITorvoStatementFileChooser"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ComPtr<ITypeInfo> coclass;
        ASSERT_HR(S_OK, Library(row.file)->GetTypeInfoOfGuid(*row.clsid, &coclass));
        ExpectCreatableClass(coclass.Get(), row.name, row.defaultInterface);
    }
}

}  // namespace
}  // namespace paylode::test
