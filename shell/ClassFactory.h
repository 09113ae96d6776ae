/*
 * The class objects: one standard class factory per class of the class
 * table, made on the first request for it and kept until the module ends.
 *
 * The module holds one reference on each class object it has made; every
 * reference beyond that one locks the module, so that a client holding a
 * class object keeps the DLL loaded. LockServer locks and unlocks the module.
 * Class objects are made under the module's lock and counted with
 * interlocked operations: COM may hand them to any thread.
 */
#pragma once

#include "common/win/Platform.h"

namespace paylode {

// The class object of `clsid` queried for `iid`: E_POINTER for a null out
// pointer, CLASS_E_CLASSNOTAVAILABLE for a CLSID that is none of the
// component's classes.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);

// Lets the class objects go: at module end.
void ReleaseClassObjects();

}  // namespace paylode
