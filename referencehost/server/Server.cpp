/*
 * The reference host DLL's entry point, class objects and registration.
 *
 * Two classes, under the host framework's CLSIDs: the bank settings object
 * and the statement file chooser, each in the apartment of its creator,
 * served by the class objects the component's DLL uses too
 * (combase/ClassObjects.h) over this DLL's own lock count. Registration
 * writes each class's registry script, the DLL's REGISTRY resources 101 and
 * 102 (combase/RegistryScriptWriter.h), and also registers the host
 * framework's three type libraries, which the DLL carries as resources 1 to
 * 3, as the framework's installer would: the component's own type library
 * imports them.
 */
#include <atomic>
#include <map>
#include <string>

#include "combase/ClassObjects.h"
#include "combase/ComPointers.h"
#include "combase/OperationGuard.h"
#include "combase/RegistryScriptWriter.h"
#include "common/win/ModuleFile.h"
#include "common/win/Throw.h"
#include "referencehost/server/BankSettings.h"
#include "referencehost/server/ServerResources.h"
#include "referencehost/server/StatementFileChooser.h"

namespace paylode::referencehost {

namespace {

HINSTANCE gInstance = nullptr;
std::atomic<long> gLocks{0};

// Each class's creation function. The host's objects stand alone: none is
// made part of another.
template <typename Object>
HRESULT CreateObject(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
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

// Each class's registry script (TorvoBankSettings.rgs and
// TorvoStatementFileChooser.rgs) writes its CLSID key with its description,
// and InprocServer32 with the DLL's path and the apartment threading model.
// clang-format off
const ClassEntry kClasses[] = {
    {&CLSID_TorvoBankSettings, &CreateObject<CReferenceBankSettings>, IDR_TORVOBANKSETTINGS, false},
    {&CLSID_TorvoStatementFileChooser, &CreateObject<CReferenceStatementFileChooser>, IDR_TORVOSTATEMENTFILECHOOSER,
     false},
};
// clang-format on

// Made on the first request, holding the module's reference until the DLL
// is unloaded.
CClassObjects gClassObjects({kClasses, std::size(kClasses)}, {&LockServer, &UnlockServer});

// The host type libraries in the order they import each other.
const GUID* const kLibraries[] = {&LIBID_TorvoEBanking, &LIBID_TorvoBankPayments, &LIBID_TorvoBankReconciliation};

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

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) { return gClassObjects.Get(clsid, iid, object); }

STDAPI DllRegisterServer() {
    const std::wstring path = paylode::ModuleFileName(gInstance);
    if (path.empty()) return paylode::HResultFromWin32(GetLastError());
    const std::map<std::wstring, std::wstring> replacements = {{L"MODULE", path}};
    for (const paylode::ClassEntry& entry : kClasses) {
        const HRESULT result = paylode::ApplyRegistryResource(gInstance, entry.registryScript, true, replacements);
        if (FAILED(result)) return result;
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
    // The scripts' values are not read on removal: no path is needed.
    HRESULT outcome = S_OK;
    for (const paylode::ClassEntry& entry : kClasses) {
        const HRESULT result = paylode::ApplyRegistryResource(gInstance, entry.registryScript, false, {});
        if (FAILED(result)) outcome = result;
    }
    for (std::size_t i = std::size(kLibraries); i-- > 0;) {
        const HRESULT result = UnRegisterTypeLib(*kLibraries[i], 1, 0, LOCALE_NEUTRAL, ThisSysKind());
        if (FAILED(result) && result != TYPE_E_REGISTRYACCESS && SUCCEEDED(outcome)) outcome = result;
    }
    return outcome;
}
