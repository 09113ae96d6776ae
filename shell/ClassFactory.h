/*
 * The component's class objects: CClassObjects (combase/ClassObjects.h)
 * over the class table, locking the module (combase/Module.h). Each is made
 * on the first request for it and kept until the module ends; every
 * reference beyond the module's own and every LockServer(TRUE) keeps the
 * DLL loaded.
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
