/*
 * Writing and removing the entries of registry scripts (see
 * RegistryScriptWriter.h).
 *
 * The steps throw the failure code of the first call that fails; the
 * functions return it unchanged, as regsvr32 and installers expect (no
 * conversion into the component's own codes).
 */
#include "combase/RegistryScriptWriter.h"

#include <optional>

#include "combase/OperationGuard.h"
#include "common/RegistryScript.h"
#include "common/TextConversion.h"
#include "common/win/Throw.h"

namespace paylode {

namespace {

// Removes a key with everything below it; one that is not there is fine.
void DeleteTree(HKEY parent, const std::wstring& name) {
    const LONG status = RegDeleteTreeW(parent, name.c_str());
    if (!IsGoneKey(status)) ThrowIfWin32Error(status);
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
        if (!OpenRegistryKey(parent, name, KEY_READ | KEY_WRITE, opened)) return;
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

// The text of one of the module's REGISTRY resources.
std::string RegistryScriptOf(HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    ThrowLastErrorIf(found == nullptr);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    ThrowLastErrorIf(bytes == nullptr);
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
}

}  // namespace

bool IsGoneKey(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

bool OpenRegistryKey(HKEY parent, const std::wstring& name, REGSAM access, CRegistryKey& key) {
    const LONG status = RegOpenKeyExW(parent, name.c_str(), 0, access, key.Receive());
    if (IsGoneKey(status)) return false;
    ThrowIfWin32Error(status);
    return true;
}

HRESULT ApplyRegistryScript(const std::string& script, bool registering,
                            const std::map<std::wstring, std::wstring>& replacements) {
    return ResultOf([&] { ApplyScript(script, registering, replacements); });
}

HRESULT ApplyRegistryResource(HMODULE module, int id, bool registering,
                              const std::map<std::wstring, std::wstring>& replacements) {
    return ResultOf([&] { ApplyScript(RegistryScriptOf(module, id), registering, replacements); });
}

}  // namespace paylode
