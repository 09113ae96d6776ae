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

#include <optional>
#include <vector>

#include "TorvoKelmarBankPaylode.h"
#include "combase/Module.h"
#include "combase/OperationGuard.h"
#include "common/RegistryScript.h"
#include "common/win/Owners.h"
#include "common/win/Throw.h"
#include "common/TextConversion.h"
#include "common/win/ModuleFile.h"
#include "host/EBankingCategory.h"
#include "shell/ClassTable.h"

using Microsoft::WRL::ComPtr;

namespace paylode {

namespace {

bool IsGone(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

// Removes a key with everything below it; one that is not there is fine.
void DeleteTree(HKEY parent, const std::wstring& name) {
    const LONG status = RegDeleteTreeW(parent, name.c_str());
    if (!IsGone(status)) ThrowIfWin32Error(status);
}

// Opens a key; false when it is not there.
bool OpenKey(HKEY parent, const std::wstring& name, REGSAM access, CRegistryKey& key) {
    const LONG status = RegOpenKeyExW(parent, name.c_str(), 0, access, key.Receive());
    if (IsGone(status)) return false;
    ThrowIfWin32Error(status);
    return true;
}

// On 64-bit Windows the 32-bit and the 64-bit registry views have each their
// own HKCR\CLSID, but share the ProgID keys. The access flag that reaches
// the other view from this process, or 0 where there is only one view.
REGSAM OtherRegistryView() {
#ifdef _WIN64
    return KEY_WOW64_32KEY;
#else
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? KEY_WOW64_64KEY : 0;
#endif
}

// The class that a ProgID key names in its CLSID subkey, if it is one.
std::optional<std::string> ClassOfProgId(const RegistryKey& key) {
    for (const RegistryKey& subkey : key.subkeys) {
        if (subkey.name == "CLSID" && subkey.defaultValue) return subkey.defaultValue;
    }
    return std::nullopt;
}

// Whether the other registry view still registers the class that a ProgID
// key names: the key is then that view's too, and stays.
bool OtherViewStillUses(const RegistryKey& key) {
    const REGSAM view = OtherRegistryView();
    const std::optional<std::string> clsid = ClassOfProgId(key);
    if (view == 0 || !clsid) return false;
    const std::wstring server = L"CLSID\\" + WideFromAnsi(clsid->c_str()) + L"\\InprocServer32";
    CRegistryKey opened;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, KEY_READ | view, opened.Receive()) == ERROR_SUCCESS;
}

class CScriptWriter {
public:
    explicit CScriptWriter(const std::map<std::wstring, std::wstring>& replacements) : replacements_(replacements) {}

    void Register(HKEY parent, const RegistryKey& key) {
        const std::wstring name = WideFromAnsi(key.name.c_str());
        if (key.removal == RegistryKey::Removal::ForceRemove) DeleteTree(parent, name);
        CRegistryKey opened;
        ThrowIfWin32Error(RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                          opened.Receive(), nullptr));
        if (key.defaultValue) SetValue(opened.Get(), nullptr, *key.defaultValue);
        for (const RegistryValue& value : key.values) {
            SetValue(opened.Get(), WideFromAnsi(value.name.c_str()).c_str(), value.text);
        }
        for (const RegistryKey& subkey : key.subkeys) Register(opened.Get(), subkey);
    }

    // A key that may be removed goes with everything below it; a NoRemove
    // key stays and only its listed subkeys go.
    void Unregister(HKEY parent, const RegistryKey& key) {
        const std::wstring name = WideFromAnsi(key.name.c_str());
        if (key.removal != RegistryKey::Removal::NoRemove) return DeleteTree(parent, name);
        CRegistryKey opened;
        if (!OpenKey(parent, name, KEY_READ | KEY_WRITE, opened)) return;
        for (const RegistryKey& subkey : key.subkeys) Unregister(opened.Get(), subkey);
    }

private:
    void SetValue(HKEY key, const wchar_t* name, const std::string& text) {
        const std::optional<std::wstring> value = ExpandRegistryText(WideFromAnsi(text.c_str()), replacements_);
        if (!value) ThrowHResult(HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
        ThrowIfWin32Error(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                                         static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t))));
    }

    const std::map<std::wstring, std::wstring>& replacements_;
};

void ApplyScript(const std::string& text, bool registering, const std::map<std::wstring, std::wstring>& replacements) {
    const std::optional<RegistryScript> script = ParseRegistryScript(text);
    if (!script) ThrowHResult(HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    CScriptWriter writer(replacements);
    for (const RegistryScriptRoot& root : script->roots) {
        const HKEY rootKey = root.root == RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
        for (const RegistryKey& key : root.keys) {
            if (registering) {
                writer.Register(rootKey, key);
            } else if (rootKey != HKEY_CLASSES_ROOT || !OtherViewStillUses(key)) {
                writer.Unregister(rootKey, key);
            }
        }
    }
}

// The text of one of the DLL's REGISTRY resources.
std::string RegistryScriptOf(int id) {
    HRSRC found = FindResourceW(CModule::Instance(), MAKEINTRESOURCEW(id), L"REGISTRY");
    ThrowLastErrorIf(found == nullptr);
    HGLOBAL loaded = LoadResource(CModule::Instance(), found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    ThrowLastErrorIf(bytes == nullptr);
    return std::string(static_cast<const char*>(bytes), SizeofResource(CModule::Instance(), found));
}

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
        if (!OpenKey(HKEY_CLASSES_ROOT, path, KEY_READ, key)) return;
        DWORD subkeys = 0, values = 0;
        ThrowIfWin32Error(RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                           nullptr, nullptr, nullptr, nullptr));
        if (subkeys != 0 || values != 0) return;
    }
    const LONG status = RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
    if (!IsGone(status)) ThrowIfWin32Error(status);
}

void UnregisterBankCategory(const CLSID& clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    const std::wstring classKey = std::wstring(L"CLSID\\") + text;
    // Nothing to take away from a class that is not registered, and the
    // manager must not be left to make its key.
    CRegistryKey key;
    if (!OpenKey(HKEY_CLASSES_ROOT, classKey, KEY_READ, key)) return;
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

HRESULT ApplyRegistryScript(const std::string& script, bool registering,
                            const std::map<std::wstring, std::wstring>& replacements) {
    return ResultOf([&] { ApplyScript(script, registering, replacements); });
}

HRESULT RegisterClasses() {
    return ResultOf([] {
        const std::map<std::wstring, std::wstring> replacements = {{L"MODULE", ModulePath()}};
        for (const ClassEntry& entry : Classes()) {
            ApplyScript(RegistryScriptOf(entry.registryScript), true, replacements);
            if (entry.isBank) RegisterBankCategory(*entry.clsid);
        }
    });
}

HRESULT UnregisterClasses() {
    return ResultOf([] {
        const std::map<std::wstring, std::wstring> replacements = {{L"MODULE", ModulePath()}};
        for (const ClassEntry& entry : Classes()) {
            if (entry.isBank) UnregisterBankCategory(*entry.clsid);
            ApplyScript(RegistryScriptOf(entry.registryScript), false, replacements);
        }
    });
}

}  // namespace paylode
