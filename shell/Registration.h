/*
 * Registration of the component's classes: for each class of the class
 * table in order, the entries of its registry script with the DLL's own
 * full path for %MODULE% (written and removed by
 * combase/RegistryScriptWriter.h, which also gives ApplyRegistryScript),
 * and, for the Bank class, its implementation of the host's category of
 * banks through the platform's component categories manager.
 * Unregistration takes the category away first, then the entries.
 *
 * Both stop at the first class that fails and return that failure; the
 * classes before it stay as they are. An entry that is already gone is no
 * failure of unregistration.
 */
#pragma once

#include "combase/RegistryScriptWriter.h"
#include "common/win/Platform.h"

namespace paylode {

HRESULT RegisterClasses();
HRESULT UnregisterClasses();

// The component's type library, from the DLL's own resources: IDispatch of
// every class loads it from the registry. A library that is not registered
// is no failure of unregistration.
HRESULT RegisterTypeLibrary();
HRESULT UnregisterTypeLibrary();

}  // namespace paylode
