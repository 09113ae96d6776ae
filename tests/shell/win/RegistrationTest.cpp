// Under Wine: the real DLL registered and unregistered with regsvr32 of the
// test's bitness, the registry read back entry by entry and compared with
// every class's entries: ProgIDs, CLSID key, server path, threading model,
// type library, and the Bank's category.
#include <gtest/gtest.h>

#include <comcat.h>
#include <wrl/client.h>

#include <map>
#include <set>
#include <string>

#include "TorvoKelmarBankPaylode.h"
#include "support/HResultAssert.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "host/EBankingCategory.h"
#include "support/ScopedRegistration.h"
#include "shell/Registration.h"

namespace paylode {
namespace {

using Entries = std::set<std::wstring>;

struct ClassRow {
    const CLSID* clsid;
    const wchar_t* name;  // ProgIDs and description are made from it
    bool isBank;
};

// clang-format off
const ClassRow kClassRows[] = {
    {&CLSID_Bank, L"Bank", true},
    {&CLSID_BankServices, L"BankServices", false},
    {&CLSID_BankPaymentService, L"BankPaymentService", false},
    {&CLSID_BankStatementService, L"BankStatementService", false},
};
// clang-format on

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring DllPath() { return testrig::PathBesideProgram(L"TorvoKelmarBankPaylode.DLL"); }

// Every key below <root>\<path>, the key itself included, as "key" lines,
// and every string value as "key|name=value" (the default value's name
// empty).
void ReadTree(const std::wstring& path, Entries& entries, HKEY root = HKEY_CLASSES_ROOT) {
    CRegistryKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return;
    entries.insert(path);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[1024] = {};
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        if (RegEnumValueW(key.Get(), i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataBytes) !=
            ERROR_SUCCESS) {
            break;
        }
        entries.insert(path + L"|" + name + L"=" + (type == REG_SZ ? data : L"<not a string>"));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key.Get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        ReadTree(path + L"\\" + name, entries, root);
    }
}

Entries RegisteredEntries(const ClassRow& row) {
    const std::wstring progId = std::wstring(L"TorvoKelmarBankPaylode.") + row.name;
    Entries entries;
    ReadTree(progId + L".1", entries);
    ReadTree(progId, entries);
    ReadTree(L"CLSID\\" + GuidText(*row.clsid), entries);
    return entries;
}

Entries ExpectedEntries(const ClassRow& row) {
    const std::wstring versionIndependent = std::wstring(L"TorvoKelmarBankPaylode.") + row.name;
    const std::wstring progId = versionIndependent + L".1";
    const std::wstring description = std::wstring(row.name) + L" Class";
    const std::wstring clsid = GuidText(*row.clsid);
    const std::wstring key = L"CLSID\\" + clsid;
    Entries entries = {
        progId,
        progId + L"|=" + description,
        progId + L"\\CLSID",
        progId + L"\\CLSID|=" + clsid,
        versionIndependent,
        versionIndependent + L"|=" + description,
        versionIndependent + L"\\CLSID",
        versionIndependent + L"\\CLSID|=" + clsid,
        versionIndependent + L"\\CurVer",
        versionIndependent + L"\\CurVer|=" + progId,
        key,
        key + L"|=" + description,
        key + L"\\ProgID",
        key + L"\\ProgID|=" + progId,
        key + L"\\VersionIndependentProgID",
        key + L"\\VersionIndependentProgID|=" + versionIndependent,
        key + L"\\Programmable",
        key + L"\\InprocServer32",
        key + L"\\InprocServer32|=" + DllPath(),
        key + L"\\InprocServer32|ThreadingModel=Apartment",
        key + L"\\TypeLib",
        key + L"\\TypeLib|=" + GuidText(LIBID_TORVOKELMARBANKPAYLODELib),
    };
    if (row.isBank) {
        entries.insert(key + L"\\Implemented Categories");
        entries.insert(key + L"\\Implemented Categories\\" + GuidText(CATID_TorvoEBankingBanks));
    }
    return entries;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::string Narrow(const Entries& entries) {
    std::string text;
    for (const std::wstring& entry : entries) text += Narrow(entry) + "\n";
    return text;
}

class Registration : public ::testing::Test {
protected:
    void TearDown() override { testrig::RunRegsvr32(DllPath(), true); }
};

TEST_F(Registration, Regsvr32WritesExactlyEachClassesEntriesAndAgainTheSame) {
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(testing::Message() << "registration " << round);
        const testrig::Regsvr32Result added = testrig::RunRegsvr32(DllPath(), false);
        ASSERT_TRUE(added.Succeeded()) << added;
        for (const ClassRow& row : kClassRows) {
            SCOPED_TRACE(testing::Message() << "class " << Narrow(std::wstring(row.name)));
            EXPECT_EQ(Narrow(ExpectedEntries(row)), Narrow(RegisteredEntries(row)));
        }
    }
}

TEST_F(Registration, ForceRemovedKeysAreWrittenAnew) {
    ASSERT_TRUE(testrig::RunRegsvr32(DllPath(), false).Succeeded());
    // Something left in the class's key by an older version goes on the next
    // registration.
    const std::wstring stale = L"CLSID\\" + GuidText(CLSID_Bank) + L"\\Stale";
    CRegistryKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, stale.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                             key.Receive(), nullptr));
    ASSERT_TRUE(testrig::RunRegsvr32(DllPath(), false).Succeeded());
    EXPECT_EQ(Narrow(ExpectedEntries(kClassRows[0])), Narrow(RegisteredEntries(kClassRows[0])));
}

TEST_F(Registration, UnregisteringLeavesNoEntryButTheSharedClsidKey) {
    ASSERT_TRUE(testrig::RunRegsvr32(DllPath(), false).Succeeded());
    ASSERT_TRUE(testrig::RunRegsvr32(DllPath(), false).Succeeded());
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(testing::Message() << "unregistration " << round);
        const testrig::Regsvr32Result removed = testrig::RunRegsvr32(DllPath(), true);
        ASSERT_TRUE(removed.Succeeded()) << removed;
        for (const ClassRow& row : kClassRows) {
            SCOPED_TRACE(testing::Message() << "class " << Narrow(std::wstring(row.name)));
            EXPECT_EQ("", Narrow(RegisteredEntries(row)));
        }
        CRegistryKey shared;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_READ, shared.Receive()));
    }
}

TEST_F(Registration, TheCategoryManagerListsTheBankAmongTheBanks) {
    ASSERT_TRUE(testrig::RunRegsvr32(DllPath(), false).Succeeded());
    ASSERT_HR(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    std::set<std::wstring> banks;
    {
        Microsoft::WRL::ComPtr<ICatInformation> information;
        EXPECT_HR(S_OK, CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&information)));
        CATID category = CATID_TorvoEBankingBanks;
        Microsoft::WRL::ComPtr<IEnumCLSID> classes;
        if (information) {
            EXPECT_HR(S_OK,
                      information->EnumClassesOfCategories(1, &category, static_cast<ULONG>(-1), nullptr, &classes));
        }
        CLSID clsid;
        while (classes && classes->Next(1, &clsid, nullptr) == S_OK) banks.insert(GuidText(clsid));
    }
    CoUninitialize();
    EXPECT_EQ(1u, banks.count(GuidText(CLSID_Bank)));
    EXPECT_EQ(0u, banks.count(GuidText(CLSID_BankServices)));
}

TEST(RegistryResources, OneScriptPerClassInTheClassOrder) {
    HMODULE dll = LoadLibraryExW(DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, dll) << GetLastError();
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(testing::Message() << "resource " << 101 + i);
        HRSRC found = FindResourceW(dll, MAKEINTRESOURCEW(101 + i), L"REGISTRY");
        ASSERT_NE(nullptr, found);
        const std::string script(static_cast<const char*>(LockResource(LoadResource(dll, found))),
                                 SizeofResource(dll, found));
        EXPECT_NE(std::string::npos, script.find(Narrow(GuidText(*kClassRows[i].clsid))));
        EXPECT_NE(std::string::npos, script.find("'" + Narrow(kClassRows[i].name) + " Class'"));
    }
    FreeLibrary(dll);
}

// Writing and removing a script's entries, on a tree of the test's own.
class RegistryScriptApplied : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\PaylodeScriptTest"); }

    static Entries Tree() {
        Entries entries;
        ReadTree(L"Software\\PaylodeScriptTest", entries, HKEY_CURRENT_USER);
        return entries;
    }
};

TEST_F(RegistryScriptApplied, WritesRemovesAndStopsAtTheFirstFailure) {
    const std::string script =
        "HKCU { NoRemove Software { NoRemove PaylodeScriptTest {"
        " Kept = s 'a' Path = s '%MODULE%' ForceRemove Fresh = s 'b' } } }";
    const std::map<std::wstring, std::wstring> module = {{L"MODULE", L"C:\\It's here\\x.dll"}};
    ASSERT_HR(S_OK, ApplyRegistryScript(script, true, module));
    const std::wstring root = L"Software\\PaylodeScriptTest";
    EXPECT_EQ(Narrow(Entries{root, root + L"\\Kept", root + L"\\Kept|=a", root + L"\\Path",
                             root + L"\\Path|=C:\\It's here\\x.dll", root + L"\\Fresh", root + L"\\Fresh|=b"}),
              Narrow(Tree()));

    // Removal takes the listed keys and keeps the NoRemove ones.
    ASSERT_HR(S_OK, ApplyRegistryScript(script, false, module));
    EXPECT_EQ(Narrow(Entries{root}), Narrow(Tree()));
    EXPECT_HR(S_OK, ApplyRegistryScript(script, false, module)) << "entries already gone are no failure";

    // A value that cannot be made stops the writing there.
    EXPECT_HR(HRESULT_FROM_WIN32(ERROR_INVALID_DATA),
              ApplyRegistryScript("HKCU { NoRemove Software { NoRemove PaylodeScriptTest {"
                                  " First = s 'x' Second = s '%NOPE%' Third = s 'y' } } }",
                                  true, module));
    EXPECT_EQ(Narrow(Entries{root, root + L"\\First", root + L"\\First|=x", root + L"\\Second"}), Narrow(Tree()));
    EXPECT_HR(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), ApplyRegistryScript("HKCU { Open", true, module));
}

}  // namespace
}  // namespace paylode
