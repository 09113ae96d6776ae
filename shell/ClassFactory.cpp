/*
 * The component's class objects (see ClassFactory.h).
 */
#include "shell/ClassFactory.h"

#include "combase/ClassObjects.h"
#include "combase/Module.h"
#include "shell/ClassTable.h"

namespace paylode {

namespace {

void LockModule() { CModule::Lock(); }
void UnlockModule() { CModule::Unlock(); }

CClassObjects classObjects(Classes(), {&LockModule, &UnlockModule});

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) { return classObjects.Get(clsid, iid, object); }

void ReleaseClassObjects() { classObjects.Release(); }

}  // namespace paylode
