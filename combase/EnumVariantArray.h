/*
 * CEnumVariantArray: the enumerator of the services collection. It hands
 * out the services of the collection's list, in order, as IDispatch
 * VARIANTs that the caller owns.
 *
 * The enumerator holds a reference on the collection that owns the list, so
 * a client may release the collection and go on enumerating. It takes no
 * part in the module's lock count of its own: the collection it holds does.
 */
#pragma once

#include <wrl/client.h>

#include "common/CArray.h"
#include "host/HostInterfaces.h"

namespace paylode {

class CEnumVariantArray : public IEnumVARIANT {
public:
    using List = CArray<ITorvoBankService*>;

    // A new enumerator over `list`, which `owner` keeps, at `position`, with
    // one reference for the caller. E_OUTOFMEMORY is thrown when none can be
    // made.
    static Microsoft::WRL::ComPtr<IEnumVARIANT> Create(IUnknown* owner, const List& list, ULONG position);

    // IEnumVARIANT, also for IUnknown; the reference count is CComObject's
    // (combase/ComObject.h).
    HRESULT InternalQueryInterface(REFIID iid, void** object);

    STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumVARIANT** copy) override;

    // Made by Create alone, with the creator's reference.
    CEnumVariantArray(IUnknown* owner, const List& list, ULONG position)
        : owner_(owner), list_(list), position_(position) {}

protected:
    ~CEnumVariantArray() = default;

private:
    ULONG Count() const { return static_cast<ULONG>(list_.GetCount()); }

    Microsoft::WRL::ComPtr<IUnknown> owner_;
    const List& list_;
    ULONG position_;
};

}  // namespace paylode
