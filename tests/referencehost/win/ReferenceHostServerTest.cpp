// Under Wine: the reference host DLL registered with regsvr32 of the test's
// bitness; its bank settings object and statement file chooser created by
// CLSID with CLSCTX_ALL and OleRun, as the component creates them, answering
// from the INI configuration and playing its faults.
#include <gtest/gtest.h>

#include <fstream>
#include <wrl/client.h>

#include "host/HostInterfaces.h"
#include "referencehost/StatementImportBlock.h"
#include "support/ReferenceHostFixture.h"
#include "support/ScopedRegistration.h"
#include "support/HResultAssert.h"
#include "common/win/Owners.h"

namespace paylode::referencehost {
namespace {

using Microsoft::WRL::ComPtr;

// The statement-file test the component hands over, standing in for it:
// statements are the files whose name ends in ".csv".
int TestForCsv(char* description, const char* path) {
    const std::string name(path);
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".csv") != 0) return 0;
    strcpy(description, "Kelmar Bank Paylode Statement");
    return 1;
}

using ReferenceHostServer = ReferenceHostFixture;

std::string RegistryText(const std::wstring& key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return "<missing>";
    }
    return std::string(value, value + wcslen(value));
}

TEST_F(ReferenceHostServer, RegistersBothClassesAsApartmentInProcessServers) {
    for (const CLSID* clsid : {&CLSID_TorvoBankSettings, &CLSID_TorvoStatementFileChooser}) {
        wchar_t text[64] = {};
        StringFromGUID2(*clsid, text, 64);
        const std::wstring key = std::wstring(L"CLSID\\") + text + L"\\InprocServer32";
        const std::wstring dll = testrig::PathBesideProgram(kReferenceHostDll);
        EXPECT_EQ(std::string(dll.begin(), dll.end()), RegistryText(key, nullptr));
        EXPECT_EQ("Apartment", RegistryText(key, L"ThreadingModel"));
    }
    // Each host type library is registered as itself, not as the first one
    // the DLL carries.
    for (const GUID* id : {&LIBID_TorvoEBanking, &LIBID_TorvoBankPayments, &LIBID_TorvoBankReconciliation}) {
        ComPtr<ITypeLib> library;
        ASSERT_HR(S_OK, LoadRegTypeLib(*id, 1, 0, LOCALE_NEUTRAL, &library));
        TLIBATTR* attributes = nullptr;
        ASSERT_HR(S_OK, library->GetLibAttr(&attributes));
        EXPECT_TRUE(IsEqualGUID(*id, attributes->guid));
        library->ReleaseTLibAttr(attributes);
    }
}

TEST_F(ReferenceHostServer, BankSettingsHandOutTheConfiguredPaymentFileSettings) {
    struct Row {
        std::string configuration;
        std::string fileName, extension, directory;
    };
    // clang-format off
    const Row rows[] = {
        {"", "Payments.", "txt", "C:\\"},
        {"[PaymentFile]\r\nFileName=Supplier Run.\r\nExtension=csv\r\nDirectory=C:\\users\\Public\r\n",
         "Supplier Run.", "csv", "C:\\users\\Public"},
        // The extension buffer is 4 bytes: a longer one is cut to 3 characters.
        {"[PaymentFile]\r\nExtension=text\r\n", "Payments.", "tex", "C:\\"},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        Configure(rows[i].configuration);
        ComPtr<ITorvoBankSettings> settings;
        ASSERT_HR(S_OK, Create(CLSID_TorvoBankSettings, settings));
        char bank[100] = "Kelmar Bank Paylode";
        char fileName[1024], extension[4], directory[1024];
        memset(fileName, 'x', sizeof fileName);
        ASSERT_HR(S_OK, settings->GetPaymentFileSettings(bank, fileName, extension, directory));
        EXPECT_EQ(rows[i].fileName, fileName);
        EXPECT_EQ(rows[i].extension, extension);
        EXPECT_EQ(rows[i].directory, directory);
    }
    const Texts recorded = Recorded();
    ASSERT_EQ(12u, recorded.size());
    EXPECT_EQ((Texts{"bankSettings.Create()", "bankSettings.Run()",
                     "bankSettings.GetPaymentFileSettings(\"Kelmar Bank Paylode\")", "bankSettings.Released()"}),
              Texts(recorded.end() - 4, recorded.end()));
}

TEST_F(ReferenceHostServer, InjectedCreationAndRunFailuresReachTheCreator) {
    const struct {
        const char* configuration;
        HRESULT expected;
    } rows[] = {
        {"[Failures]\r\nbankSettings.Create=0x80040154\r\n", REGDB_E_CLASSNOTREG},
        {"[Failures]\r\nbankSettings.Run=0x80004005\r\n", E_FAIL},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.configuration);
        Configure(row.configuration);
        ComPtr<ITorvoBankSettings> settings;
        EXPECT_EQ(row.expected, Create(CLSID_TorvoBankSettings, settings));
    }
}

TEST_F(ReferenceHostServer, AFailingCallSetsErrorInformation) {
    Configure(
        "[Failures]\r\nbankSettings.GetPaymentFileSettings=0x80004005\r\nbankSettings.ConfigureBank=2147500037\r\n");
    ComPtr<ITorvoBankSettings> settings;
    ASSERT_HR(S_OK, Create(CLSID_TorvoBankSettings, settings));
    char bank[1024] = "Kelmar Bank Paylode";
    EXPECT_HR(E_FAIL, settings->ConfigureBank(bank, 3));
    char fileName[1024] = {}, extension[4] = {}, directory[1024] = {};
    EXPECT_HR(E_FAIL, settings->GetPaymentFileSettings(bank, fileName, extension, directory));
    ComPtr<ISupportErrorInfo> supports;
    ASSERT_HR(S_OK, settings.As(&supports));
    EXPECT_HR(S_OK, supports->InterfaceSupportsErrorInfo(IID_ITorvoBankSettings));
    ComPtr<IErrorInfo> error;
    ASSERT_HR(S_OK, GetErrorInfo(0, &error));
    CBstr description;
    ASSERT_HR(S_OK, error->GetDescription(description.Receive()));
    EXPECT_NE(nullptr, wcsstr(description.Get(), L"bankSettings.GetPaymentFileSettings"));
    EXPECT_EQ("bankSettings.ConfigureBank(\"Kelmar Bank Paylode\", 3) failed 0x80004005", Recorded().at(2));
}

TEST_F(ReferenceHostServer, TheChooserAsksTheStatementFileTestAndReturnsTheFileOrNone) {
    struct Row {
        const char* name;
        std::string configuration;
        long cancelled;
        std::wstring path;
        const char* testRecord;  // the IsStatementFile line, or null when not asked
    };
    // clang-format off
    const Row rows[] = {
        {"a statement", "[Chooser]\r\nFile=C:\\in\\jan.csv\r\n", 0, L"C:\\in\\jan.csv",
         "chooser.IsStatementFile(\"C:\\in\\jan.csv\") -> 1 \"Kelmar Bank Paylode Statement\""},
        {"not a statement", "[Chooser]\r\nFile=C:\\in\\jan.txt\r\n", 1, L"",
         "chooser.IsStatementFile(\"C:\\in\\jan.txt\") -> 0 \"\""},
        {"typed in anyway", "[Chooser]\r\nFile=C:\\in\\jan.txt\r\nAcceptRejected=1\r\n", 0, L"C:\\in\\jan.txt",
         "chooser.IsStatementFile(\"C:\\in\\jan.txt\") -> 0 \"\""},
        {"cancelled", "[Chooser]\r\nFile=C:\\in\\jan.csv\r\nCancel=1\r\n", 1, L"", nullptr},
        {"no file configured", "", 1, L"", nullptr},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Configure(row.configuration);
        ComPtr<ITorvoBankSettings> settings;
        ComPtr<ITorvoStatementFileChooser> chooser;
        ASSERT_HR(S_OK, Create(CLSID_TorvoStatementFileChooser, chooser));
        ASSERT_HR(S_OK, Create(CLSID_TorvoBankSettings, settings));
        char bank[100] = "Kelmar Bank Paylode";
        BYTE block[kStatementImportBlockBytes];
        memset(block, 0xCC, sizeof block);
        ASSERT_HR(S_OK, settings->GetStatementImportSettings(bank, block));
        const StatementFileTest test = &TestForCsv;
        memcpy(block, &test, sizeof test);
        ASSERT_HR(S_OK, chooser->SelectFile(block));
        long cancelled = -1;
        EXPECT_HR(S_OK, chooser->GetCancelled(&cancelled));
        EXPECT_EQ(row.cancelled, cancelled);
        CBstr path;
        EXPECT_HR(S_OK, chooser->GetFilePath(path.Receive()));
        EXPECT_EQ(row.path, std::wstring(path.Get(), path.Length()));
        chooser.Reset();
        settings.Reset();

        Texts expected = {"chooser.Create()",
                          "chooser.Run()",
                          "bankSettings.Create()",
                          "bankSettings.Run()",
                          "bankSettings.GetStatementImportSettings(\"Kelmar Bank Paylode\")",
                          "chooser.SelectFile(test, \"*.csv\", \"C:\\\")"};
        if (row.testRecord != nullptr) expected.push_back(row.testRecord);
        expected.insert(expected.end(), {"chooser.GetCancelled()", "chooser.GetFilePath()", "chooser.Released()",
                                         "bankSettings.Released()"});
        const Texts recorded = Recorded();
        ASSERT_LE(expected.size(), recorded.size());
        EXPECT_EQ(expected, Texts(recorded.end() - static_cast<long>(expected.size()), recorded.end()));
    }
}

TEST_F(ReferenceHostServer, TheChooserRefusesABlockWithoutATestAndCanGiveANullPath) {
    Configure("[Chooser]\r\nFile=C:\\in\\jan.csv\r\n[NullTexts]\r\nchooser.GetFilePath=1\r\n");
    ComPtr<ITorvoStatementFileChooser> chooser;
    ASSERT_HR(S_OK, Create(CLSID_TorvoStatementFileChooser, chooser));
    BYTE block[kStatementImportBlockBytes] = {};
    EXPECT_HR(E_INVALIDARG, chooser->SelectFile(block));
    EXPECT_HR(E_POINTER, chooser->SelectFile(nullptr));
    BSTR path = SysAllocString(L"stale");
    EXPECT_HR(S_OK, chooser->GetFilePath(&path));
    EXPECT_EQ(nullptr, path);
}

TEST_F(ReferenceHostServer, IDispatchDescribesEachObjectFromTheHostTypeLibraries) {
    Configure("");
    const struct {
        const CLSID* clsid;
        const IID* iid;
    } rows[] = {{&CLSID_TorvoBankSettings, &IID_ITorvoBankSettings},
                {&CLSID_TorvoStatementFileChooser, &IID_ITorvoStatementFileChooser}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.clsid == &CLSID_TorvoBankSettings ? "bank settings" : "chooser");
        ComPtr<IDispatch> object;
        ASSERT_HR(S_OK, Create(*row.clsid, object));
        ComPtr<ITypeInfo> info;
        ASSERT_HR(S_OK, object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
        TYPEATTR* attributes = nullptr;
        ASSERT_HR(S_OK, info->GetTypeAttr(&attributes));
        EXPECT_TRUE(IsEqualIID(*row.iid, attributes->guid));
        info->ReleaseTypeAttr(attributes);
        DISPPARAMS none = {};
        EXPECT_HR(DISP_E_MEMBERNOTFOUND,
                  object->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    }
}

TEST_F(ReferenceHostServer, TheStatementImportBlockCarriesTheConfiguredFilterAndFolder) {
    Configure("[StatementImport]\r\nFilter=*.txt\r\nDirectory=C:\\statements\r\n");
    ComPtr<ITorvoBankSettings> settings;
    ASSERT_HR(S_OK, Create(CLSID_TorvoBankSettings, settings));
    char bank[100] = "Kelmar Bank Paylode";
    BYTE block[kStatementImportBlockBytes];
    memset(block, 0xCC, sizeof block);
    ASSERT_HR(S_OK, settings->GetStatementImportSettings(bank, block));
    StatementImportBlock filled;
    memcpy(&filled, block, sizeof filled);
    EXPECT_EQ(nullptr, filled.statementFileTest);
    EXPECT_STREQ("*.txt", filled.fileFilter);
    EXPECT_STREQ("C:\\statements", filled.initialDirectory);
    EXPECT_STREQ("Kelmar Bank Paylode", filled.bankName);
}

TEST(ReferenceHostRegistration, UnregisteringRemovesTheClassesAndTheHostTypeLibraries) {
    ASSERT_HR(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const std::wstring dll = testrig::PathBesideProgram(kReferenceHostDll);
    const testrig::Regsvr32Result added = testrig::RunRegsvr32(dll, false);
    ASSERT_TRUE(added.Succeeded()) << added;
    ComPtr<IUnknown> object;
    EXPECT_HR(S_OK, CoCreateInstance(CLSID_TorvoStatementFileChooser, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&object)));
    object.Reset();
    CoFreeUnusedLibrariesEx(0, 0);
    const testrig::Regsvr32Result removed = testrig::RunRegsvr32(dll, true);
    ASSERT_TRUE(removed.Succeeded()) << removed;
    for (const CLSID* clsid : {&CLSID_TorvoBankSettings, &CLSID_TorvoStatementFileChooser}) {
        EXPECT_HR(REGDB_E_CLASSNOTREG, CoCreateInstance(*clsid, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&object)));
    }
    ComPtr<ITypeLib> library;
    EXPECT_NE(S_OK, LoadRegTypeLib(LIBID_TorvoEBanking, 1, 0, LOCALE_NEUTRAL, &library));
    CoUninitialize();
}

// How many subkeys and values a key of HKCR holds, or "<missing>".
std::string RegistryShape(const std::wstring& key) {
    CRegistryKey opened;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.Receive()) != ERROR_SUCCESS) {
        return "<missing>";
    }
    DWORD subkeys = 0, values = 0;
    RegQueryInfoKeyW(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    return std::to_string(subkeys) + " subkeys, " + std::to_string(values) + " values";
}

TEST(ReferenceHostRegistration, WritesEachClassKeyWithItsDescriptionAndNothingMoreAndTakesItAway) {
    const struct {
        const CLSID* clsid;
        const char* description;
    } rows[] = {{&CLSID_TorvoBankSettings, "Torvo reference host: bank settings"},
                {&CLSID_TorvoStatementFileChooser, "Torvo reference host: statement file chooser"}};
    const std::wstring dll = testrig::PathBesideProgram(kReferenceHostDll);
    const testrig::Regsvr32Result added = testrig::RunRegsvr32(dll, false);
    ASSERT_TRUE(added.Succeeded()) << added;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        wchar_t text[64] = {};
        StringFromGUID2(*row.clsid, text, 64);
        const std::wstring key = std::wstring(L"CLSID\\") + text;
        EXPECT_EQ(row.description, RegistryText(key, nullptr));
        EXPECT_EQ("1 subkeys, 1 values", RegistryShape(key));
        EXPECT_EQ("0 subkeys, 2 values", RegistryShape(key + L"\\InprocServer32"));
    }
    const testrig::Regsvr32Result removed = testrig::RunRegsvr32(dll, true);
    ASSERT_TRUE(removed.Succeeded()) << removed;
    for (const auto& row : rows) {
        wchar_t text[64] = {};
        StringFromGUID2(*row.clsid, text, 64);
        EXPECT_EQ("<missing>", RegistryShape(std::wstring(L"CLSID\\") + text)) << row.description;
    }
}

// The server's class objects through its exports, as COM reaches them.
TEST(ReferenceHostClassObjects, ServeTheirTwoClassesRefuseAggregationAndLockTheServer) {
    ASSERT_HR(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const HMODULE dll = LoadLibraryW(testrig::PathBesideProgram(kReferenceHostDll).c_str());
    ASSERT_NE(nullptr, dll) << GetLastError();
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto get =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    const auto canUnload =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    ASSERT_NE(nullptr, get);
    ASSERT_NE(nullptr, canUnload);
    EXPECT_HR(S_OK, canUnload());

    // Its two classes are served, and no other.
    const CLSID unknown = {0x5d0e1f2a, 0x3b4c, 0x4d5e, {0x8f, 0x90, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6}};
    for (const CLSID* clsid : {&CLSID_TorvoBankSettings, &CLSID_TorvoStatementFileChooser, &unknown}) {
        ComPtr<IClassFactory> factory;
        EXPECT_HR(clsid == &unknown ? CLASS_E_CLASSNOTAVAILABLE : S_OK, get(*clsid, IID_PPV_ARGS(&factory)));
    }
    EXPECT_HR(S_OK, canUnload()) << "no class object is held";

    ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, get(CLSID_TorvoBankSettings, IID_PPV_ARGS(&factory)));
    EXPECT_HR(S_FALSE, canUnload()) << "an outside reference on a class object";
    IUnknown* outer = factory.Get();
    const struct {
        const char* name;
        IUnknown* outer;
        bool nullOut;
        HRESULT expected;
    } creations[] = {
        {"null out pointer", nullptr, true, E_POINTER},
        {"null out pointer, aggregated", outer, true, E_POINTER},
        {"aggregated", outer, false, CLASS_E_NOAGGREGATION},
    };
    for (const auto& creation : creations) {
        SCOPED_TRACE(creation.name);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_HR(creation.expected,
                  factory->CreateInstance(creation.outer, IID_IUnknown, creation.nullOut ? nullptr : &object));
        if (!creation.nullOut) {
            EXPECT_EQ(nullptr, object);
        }
    }
    ASSERT_HR(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_HR(S_FALSE, canUnload()) << "a LockServer(TRUE)";
    ASSERT_HR(S_OK, get(CLSID_TorvoBankSettings, IID_PPV_ARGS(&factory)));
    ASSERT_HR(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_HR(S_OK, canUnload());
    FreeLibrary(dll);
    CoUninitialize();
}

}  // namespace
}  // namespace paylode::referencehost
