/*
 * The DLL's entry point and its four exports. The class table
 * (shell/ClassTable.h) drives the class objects, registration and
 * unregistration.
 */
#include "combase/Module.h"
#include "combase/TypeInfo.h"
#include "shell/ClassFactory.h"
#include "shell/Registration.h"

using paylode::CModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // Thread notifications stay on: the C and C++ runtimes and the threads
    // library are linked in statically, and free what they keep for each
    // thread when it ends through those notifications.
    if (reason == DLL_PROCESS_ATTACH) {
        CModule::Attach(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: the class objects and the cached type
        // information go with the module. At process end COM may already be
        // gone, so nothing is released then.
        paylode::ReleaseClassObjects();
        paylode::ReleaseComponentTypeInfo();
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return CModule::LockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    return paylode::GetClassObject(clsid, iid, object);
}

STDAPI DllRegisterServer() {
    const HRESULT result = paylode::RegisterClasses();
    return FAILED(result) ? result : paylode::RegisterTypeLibrary();
}

STDAPI DllUnregisterServer() {
    const HRESULT result = paylode::UnregisterClasses();
    return FAILED(result) ? result : paylode::UnregisterTypeLibrary();
}
