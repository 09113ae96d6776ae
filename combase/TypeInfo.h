/*
 * The component's type library as IDispatch serves it.
 *
 * Every class answers IDispatch from the component's type library, loaded
 * by its LIBID and version 1.0 from the registry on the first IDispatch call
 * and kept, with the type information of each interface asked for, until the
 * module ends. The first load is guarded by a lock; a failed load is tried
 * again on the next call.
 */
#pragma once

#include "common/win/Platform.h"

namespace paylode {

// The type information of the component's dual interface `iid`, in its
// vtable form, for ITypeInfo::Invoke. The caller receives a reference.
HRESULT GetComponentTypeInfo(REFIID iid, ITypeInfo** info);

// Drops the cached type library and type information: at module end.
void ReleaseComponentTypeInfo();

}  // namespace paylode
