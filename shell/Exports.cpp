/*
 * The DLL's entry point and its four exports.
 *
 * The class table that DllGetClassObject and registration walk is empty until
 * the component's classes are built; with it empty, every CLSID is answered
 * with CLASS_E_CLASSNOTAVAILABLE and registration has no class entries to
 * write or remove.
 */
#include "shell/Module.h"
#include "shell/TypeInfo.h"

#include <array>

namespace paylode {

namespace {

// One row per COM class, in the order of registration and lookup.
struct ClassEntry {
    const CLSID* clsid;
    HRESULT (*getClassObject)(REFIID iid, void** object);
};

constexpr std::array<ClassEntry, 0> kClasses{};

const ClassEntry* FindClass(REFCLSID clsid) {
    for (const ClassEntry& entry : kClasses) {
        if (IsEqualCLSID(*entry.clsid, clsid)) return &entry;
    }
    return nullptr;
}

}  // namespace
}  // namespace paylode

using paylode::Module;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        Module::Attach(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: the cached type information goes with the
        // module. At process end COM may already be gone, so nothing is
        // released then.
        paylode::ReleaseComponentTypeInfo();
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return Module::LockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    const paylode::ClassEntry* entry = paylode::FindClass(clsid);
    if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    return entry->getClassObject(iid, object);
}

// Registration writes nothing while the class table is empty.
STDAPI DllRegisterServer() { return S_OK; }

STDAPI DllUnregisterServer() { return S_OK; }
