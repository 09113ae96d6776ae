/*
 * The reference host DLL's entry point, class objects and registration.
 *
 * Two classes, under the host framework's CLSIDs: the bank settings object
 * and the statement file chooser, each in the apartment of its creator.
 * Registration also registers the host framework's three type libraries,
 * which the DLL carries as resources 1 to 3, as the framework's installer
 * would: the component's own type library imports them.
 */
#include <atomic>
#include <string>

#include "combase/ComPointers.h"
#include "combase/OperationGuard.h"
#include "common/win/Owners.h"
#include "common/win/ModuleFile.h"
#include "referencehost/server/BankSettings.h"
#include "referencehost/server/StatementFileChooser.h"

namespace paylode::referencehost {

namespace {

HINSTANCE gInstance = nullptr;
std::atomic<long> gLocks{0};

template <typename Object>
HRESULT CreateObject(REFIID iid, void** object) {
    return ResultOf([&] {
        const Microsoft::WRL::ComPtr<Object> created = MakeComObject<Object>(CServerConfiguration::Read());
        const HRESULT result = created->Created();
        if (FAILED(result)) return result;
        const HRESULT found = created->QueryInterface(iid, object);
        // The creation's own reference is released here: the caller holds
        // what QueryInterface gave.
        if (SUCCEEDED(found)) created->ForgetHostReference();
        return found;
    });
}

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* description;
    HRESULT (*create)(REFIID iid, void** object);
};

// clang-format off
const ClassEntry kClasses[] = {
    {&CLSID_TorvoBankSettings, L"Torvo reference host: bank settings", &CreateObject<CReferenceBankSettings>},
    {&CLSID_TorvoStatementFileChooser, L"Torvo reference host: statement file chooser",
     &CreateObject<CReferenceStatementFileChooser>},
};
// clang-format on

// The host type libraries in the order they import each other.
const GUID* const kLibraries[] = {&LIBID_TorvoEBanking, &LIBID_TorvoBankPayments, &LIBID_TorvoBankReconciliation};

// Made as a CComObject with an interlocked count: COM may hand a class
// object to any thread.
class CClassFactory : public IClassFactory {
public:
    explicit CClassFactory(const ClassEntry& entry) : entry_(entry) {}

    HRESULT InternalQueryInterface(REFIID iid, void** object) {
        // clang-format off
        static const QITAB table[] = {
            InterfaceEntry<CClassFactory, IClassFactory>(IID_IClassFactory),
            {},
        };
        // clang-format on
        return QueryInterfaceFromTable(this, table, iid, object);
    }
    // A class object lives as long as the module, which holds its first
    // reference; every other reference locks the module.
    void ReferenceCounted(ULONG count, bool added) {
        if (added) {
            referencehost::LockServer();
        } else if (count > 0) {
            UnlockServer();
        }
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return entry_.create(iid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            referencehost::LockServer();
        } else {
            UnlockServer();
        }
        return S_OK;
    }

protected:
    ~CClassFactory() = default;

private:
    const ClassEntry& entry_;
};
using CClassObject = CComObject<CClassFactory, CInterlockedCount>;

std::wstring ModulePath() { return ModuleFileName(gInstance); }

std::wstring ClassKey(const CLSID& clsid) {
    wchar_t text[64] = {};
    StringFromGUID2(clsid, text, 64);
    return std::wstring(L"CLSID\\") + text;
}

LONG SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    CRegistryKey opened;
    const LONG result = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                        opened.Receive(), nullptr);
    if (result != ERROR_SUCCESS) return result;
    return RegSetValueExW(opened.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

SYSKIND ThisSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

}  // namespace

HINSTANCE ServerInstance() { return gInstance; }
void LockServer() { ++gLocks; }
void UnlockServer() { --gLocks; }

}  // namespace paylode::referencehost

using namespace paylode::referencehost;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        gInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return gLocks == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // Made on the first request, holding the module's reference until the
    // DLL is unloaded.
    static const Microsoft::WRL::ComPtr<CClassFactory> classObjects[] = {
        paylode::TakeOver<CClassFactory>(new CClassObject(kClasses[0])), paylode::TakeOver<CClassFactory>(new CClassObject(kClasses[1]))};
    for (std::size_t i = 0; i < std::size(kClasses); ++i) {
        if (IsEqualCLSID(*kClasses[i].clsid, clsid)) return classObjects[i]->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllRegisterServer() {
    const std::wstring path = ModulePath();
    for (const ClassEntry& entry : kClasses) {
        const std::wstring key = ClassKey(*entry.clsid);
        LONG result = SetValue(key, nullptr, entry.description);
        if (result == ERROR_SUCCESS) result = SetValue(key + L"\\InprocServer32", nullptr, path);
        if (result == ERROR_SUCCESS) result = SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        if (result != ERROR_SUCCESS) return HRESULT_FROM_WIN32(static_cast<DWORD>(result));
    }
    for (std::size_t i = 0; i < std::size(kLibraries); ++i) {
        // Registered with its resource number in the path: left to
        // REGKIND_REGISTER, Wine records the bare DLL path, which names the
        // first library only.
        std::wstring resource = path + L"\\" + std::to_wstring(i + 1);
        Microsoft::WRL::ComPtr<ITypeLib> library;
        HRESULT result = LoadTypeLibEx(resource.c_str(), REGKIND_NONE, &library);
        if (FAILED(result)) return result;
        result = RegisterTypeLib(library.Get(), resource.data(), nullptr);
        if (FAILED(result)) return result;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    HRESULT outcome = S_OK;
    for (const ClassEntry& entry : kClasses) {
        const LONG result = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(*entry.clsid).c_str());
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            outcome = HRESULT_FROM_WIN32(static_cast<DWORD>(result));
    }
    for (std::size_t i = std::size(kLibraries); i-- > 0;) {
        const HRESULT result = UnRegisterTypeLib(*kLibraries[i], 1, 0, LOCALE_NEUTRAL, ThisSysKind());
        if (FAILED(result) && result != TYPE_E_REGISTRYACCESS && SUCCEEDED(outcome)) outcome = result;
    }
    return outcome;
}
