/*
 * COM objects: holding interface pointers, making objects without leaking
 * them, and answering QueryInterface from a table.
 *
 * Interface pointers are held by Microsoft::WRL::ComPtr (<wrl/client.h>).
 * Beware: MinGW's ComPtr::Attach ADDS a reference of its own, unlike the
 * SDK's, which takes over the caller's. Never use Attach to take over a
 * reference: a new object comes from MakeComObject, an interface handed
 * over by a call goes into GetAddressOf() or IID_PPV_ARGS.
 *
 *   ComPtr<CHostPayments> batch = MakeComObject<CHostPayments>(log, rows);
 *   ComPtr<ICreateErrorInfo> create = TakeOver(thrown);   // a reference handed over
 *
 * QueryInterface from a table of {IID, interface} rows in the class's
 * order; IUnknown is answered with the first row, a null out pointer with
 * E_POINTER, an IID not in the table with E_NOINTERFACE and a null out
 * value (the platform's QISearch):
 *
 *   HRESULT CBank::InternalQueryInterface(REFIID iid, void** out) {
 *       static const QITAB table[] = {
 *           InterfaceEntry<CBank, IBank>(IID_IBank),
 *           InterfaceEntry<CBank, IBank>(IID_ITorvoBank),
 *           InterfaceEntry<CBank, IBank>(IID_IDispatch),
 *           InterfaceEntry<CBank, ISupportErrorInfo>(IID_ISupportErrorInfo),
 *           {},
 *       };
 *       return QueryInterfaceFromTable(this, table, iid, out);
 *   }
 */
#pragma once

#include <wrl/client.h>

#include <new>
#include <type_traits>
#include <utility>

#include "combase/ComObject.h"
#include "common/CArray.h"
#include "common/win/Platform.h"
#include "common/win/Throw.h"

#include <shlwapi.h>

namespace paylode {

// The base of the component's classes, which are made by CreateInstanceOf
// (combase/ComponentObject.h).
class CObjectRoot;

// Makes a new object of class T (its IUnknown answered by CComObject,
// combase/ComObject.h) held by one ComPtr. The object is born holding one
// reference (its creator's), which the ComPtr takes over; if the
// constructor throws, nothing is left behind. E_OUTOFMEMORY is thrown when
// there is no memory for it. The same rule holds for CreateInstanceOf
// (combase/ComponentObject.h), which makes the classes derived from
// CObjectRoot; this factory refuses them.
template <typename T, typename... Args>
Microsoft::WRL::ComPtr<T> MakeComObject(Args&&... args);

// A ComPtr that takes over the reference the caller holds on `owned` (what
// the SDK's Attach does; MinGW's Attach would add one).
template <typename T>
Microsoft::WRL::ComPtr<T> TakeOver(T* owned) {
    Microsoft::WRL::ComPtr<T> held;
    *held.GetAddressOf() = owned;
    return held;
}

template <typename T, typename... Args>
Microsoft::WRL::ComPtr<T> MakeComObject(Args&&... args) {
    static_assert(!std::is_base_of_v<CObjectRoot, T>,
                  "MakeComObject makes the objects the module uses itself; a class derived from CObjectRoot "
                  "is made by CreateInstanceOf");
    return TakeOver<T>(ThrowIfNullAlloc(new (std::nothrow) CComObject<T>(std::forward<Args>(args)...)));
}

// One row of a QueryInterface table: `iid` is answered with the object's
// `Interface` part. `iid` must outlive the table.
template <typename Class, typename Interface>
QITAB InterfaceEntry(const IID& iid) {
    static_assert(std::is_base_of_v<Interface, Class>, "the class implements the interface");
    return QITAB{&iid, static_cast<int>(OFFSETOFCLASS(Interface, Class))};
}

// A CArray of interface pointers that owns one reference on each element:
// Append takes one, RemoveAll and the destructor release them, the last
// first.
template <typename Interface>
class CInterfaceArray {
public:
    CInterfaceArray() = default;
    ~CInterfaceArray() { RemoveAll(); }
    CInterfaceArray(const CInterfaceArray&) = delete;
    CInterfaceArray& operator=(const CInterfaceArray&) = delete;

    void Append(Interface* element) {
        items_.Append(element);
        element->AddRef();
    }
    void RemoveAll() {
        for (int i = items_.GetCount(); i-- > 0;) items_.GetAt(i)->Release();
        items_.Clear();
    }
    const CArray<Interface*>& Items() const { return items_; }

private:
    CArray<Interface*> items_;
};

// QueryInterface of `object` from `table` (rows made for Class, ending with
// an empty row).
template <typename Class>
HRESULT QueryInterfaceFromTable(Class* object, const QITAB* table, REFIID iid, void** out) {
    return QISearch(object, table, iid, out);
}

}  // namespace paylode
