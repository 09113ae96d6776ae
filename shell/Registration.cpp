/*
 * Registration of the component's classes (see Registration.h).
 *
 * The steps throw the failure code of the first call that fails; the
 * exported functions return it unchanged, as regsvr32 and installers expect
 * (no conversion into the component's own codes).
 */
#include "shell/Registration.h"

#include <comcat.h>
#include <wrl/client.h>

#include "TorvoKelmarBankPaylode.h"
#include "combase/Module.h"
#include "combase/OperationGuard.h"
#include "combase/RegistryScriptWriter.h"
#include "common/win/ModuleFile.h"
#include "common/win/Owners.h"
#include "common/win/Throw.h"
#include "host/EBankingCategory.h"
#include "shell/ClassTable.h"

using Microsoft::WRL::ComPtr;

namespace paylode {

namespace {

std::wstring ModulePath() {
    std::wstring path = ModuleFileName(CModule::Instance());
    ThrowLastErrorIf(path.empty());
    return path;
}

// The component categories manager needs COM on this thread; regsvr32 has
// started it, a bare caller may not have.
class CComUse {
public:
    CComUse() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~CComUse() {
        if (started_) CoUninitialize();
    }
    CComUse(const CComUse&) = delete;
    CComUse& operator=(const CComUse&) = delete;

private:
    bool started_;
};

ComPtr<ICatRegister> CategoryManager() {
    ComPtr<ICatRegister> manager;
    ThrowIfFailed(
        CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&manager)));
    return manager;
}

void RegisterBankCategory(const CLSID& clsid) {
    CComUse com;
    CATID category = CATID_TorvoEBankingBanks;
    ThrowIfFailed(CategoryManager()->RegisterClassImplCategories(clsid, 1, &category));
}

// Deletes <classKey>\<name> when nothing is left in it.
void RemoveIfEmpty(const std::wstring& classKey, const wchar_t* name) {
    const std::wstring path = classKey + L"\\" + name;
    {
        CRegistryKey key;
        if (!OpenRegistryKey(HKEY_CLASSES_ROOT, path, KEY_READ, key)) return;
        DWORD subkeys = 0, values = 0;
        ThrowIfWin32Error(RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                           nullptr, nullptr, nullptr, nullptr));
        if (subkeys != 0 || values != 0) return;
    }
    const LONG status = RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
    if (!IsGoneKey(status)) ThrowIfWin32Error(status);
}

void UnregisterBankCategory(const CLSID& clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    const std::wstring classKey = std::wstring(L"CLSID\\") + text;
    // Nothing to take away from a class that is not registered, and the
    // manager must not be left to make its key.
    CRegistryKey key;
    if (!OpenRegistryKey(HKEY_CLASSES_ROOT, classKey, KEY_READ, key)) return;
    {
        CComUse com;
        CATID category = CATID_TorvoEBankingBanks;
        ThrowIfFailed(CategoryManager()->UnRegisterClassImplCategories(clsid, 1, &category));
    }
    // The manager takes only the category away, leaving its parent keys.
    RemoveIfEmpty(classKey, L"Implemented Categories");
    RemoveIfEmpty(classKey, L"Required Categories");
}

}  // namespace

HRESULT RegisterTypeLibrary() {
    return ResultOf([] {
        // Registered under the module's own path, with its folder as the help
        // folder, exactly as the installer packages write them. Left to
        // register by itself, LoadTypeLibEx writes the path as its loader
        // resolved it (Wine's with a \\?\ prefix) and keeps a help folder
        // that an earlier registration left.
        const std::wstring path = ModulePath();
        const std::size_t lastSeparator = path.find_last_of(L'\\');
        const std::wstring folder = lastSeparator == std::wstring::npos ? std::wstring() : path.substr(0, lastSeparator);
        ComPtr<ITypeLib> library;
        ThrowIfFailed(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library));
        // RegisterTypeLib only reads both texts; MinGW declares them without const.
        ThrowIfFailed(RegisterTypeLib(library.Get(), const_cast<wchar_t*>(path.c_str()), const_cast<wchar_t*>(folder.c_str())));
    });
}

HRESULT UnregisterTypeLibrary() {
    return ResultOf([] {
        // A library that is not registered is no failure.
        CBstr registered;
        if (FAILED(
                QueryPathOfRegTypeLib(LIBID_TORVOKELMARBANKPAYLODELib, 1, 0, LOCALE_NEUTRAL, registered.Receive()))) {
            return;
        }
        ThrowIfFailed(UnRegisterTypeLib(LIBID_TORVOKELMARBANKPAYLODELib, 1, 0, LOCALE_NEUTRAL,
                                        sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32));
    });
}

HRESULT RegisterClasses() {
    return ResultOf([] {
        const std::map<std::wstring, std::wstring> replacements = {{L"MODULE", ModulePath()}};
        for (const ClassEntry& entry : Classes()) {
            ThrowIfFailed(ApplyRegistryResource(CModule::Instance(), entry.registryScript, true, replacements));
            if (entry.isBank) RegisterBankCategory(*entry.clsid);
        }
    });
}

HRESULT UnregisterClasses() {
    return ResultOf([] {
        const std::map<std::wstring, std::wstring> replacements = {{L"MODULE", ModulePath()}};
        for (const ClassEntry& entry : Classes()) {
            if (entry.isBank) UnregisterBankCategory(*entry.clsid);
            ThrowIfFailed(ApplyRegistryResource(CModule::Instance(), entry.registryScript, false, replacements));
        }
    });
}

}  // namespace paylode
