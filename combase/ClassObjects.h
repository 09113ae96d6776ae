/*
 * A module's class table and its class objects, for the component's DLL
 * and the reference host's server alike.
 *
 * A row of the table names a class's CLSID, its creation function, its
 * registry script (a REGISTRY resource of the module, written and removed
 * by combase/RegistryScriptWriter.h) and whether the class is registered
 * as a bank of the host's e-banking framework. The creation function has
 * the one shape
 *
 *   HRESULT Create(IUnknown* outer, REFIID iid, void** object);
 *
 * and answers a null out pointer, aggregation and the interface asked for
 * itself: CreateInstanceOf<CClass> (combase/ComponentObject.h) gives it to
 * every class of the component.
 *
 * CClassObjects hands out one standard class factory per row, made on the
 * first request for it and kept until the module lets them go. The module
 * holds one reference on each class object it has made; every reference
 * beyond that one locks the module, so that a client holding a class object
 * keeps the DLL loaded, and LockServer locks and unlocks it. The module's
 * lock is the module's own: its two functions are handed in. Class objects
 * are made under a lock of their own and counted with interlocked
 * operations: COM may hand them to any thread.
 */
#pragma once

#include <wrl/client.h>

#include <cstddef>
#include <vector>

#include "common/win/Platform.h"

namespace paylode {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

struct ClassEntry {
    const CLSID* clsid;
    CreateFunction create;
    int registryScript;  // the REGISTRY resource with the class's entries
    bool isBank;         // registered in the host's category of banks
};

struct ClassTable {
    const ClassEntry* first;
    std::size_t count;
    const ClassEntry* begin() const { return first; }
    const ClassEntry* end() const { return first + count; }
};

// The row of `clsid` in `classes`, or null when it is none of them.
const ClassEntry* FindClass(ClassTable classes, REFCLSID clsid);

// The lock that keeps a module loaded while one of its objects is held.
struct ModuleLock {
    void (*lock)();
    void (*unlock)();
};

class CClassObjects {
public:
    CClassObjects(ClassTable classes, ModuleLock moduleLock);
    CClassObjects(const CClassObjects&) = delete;
    CClassObjects& operator=(const CClassObjects&) = delete;

    // The class object of `clsid` queried for `iid`: E_POINTER for a null
    // out pointer, CLASS_E_CLASSNOTAVAILABLE for a CLSID that is none of the
    // table's classes.
    HRESULT Get(REFCLSID clsid, REFIID iid, void** object);

    // Lets the class objects go: at module end.
    void Release();

private:
    ClassTable classes_;
    ModuleLock moduleLock_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    // One slot per row of the table, in its order; each holds the module's
    // own reference on its class object.
    std::vector<Microsoft::WRL::ComPtr<IClassFactory>> made_;
};

}  // namespace paylode
