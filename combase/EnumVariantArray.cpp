/*
 * The services enumerator (see EnumVariantArray.h).
 */
#include "combase/EnumVariantArray.h"

#include "combase/ComPointers.h"
#include "combase/OperationGuard.h"

namespace paylode {

Microsoft::WRL::ComPtr<IEnumVARIANT> CEnumVariantArray::Create(IUnknown* owner, const List& list, ULONG position) {
    return MakeComObject<CEnumVariantArray>(owner, list, position);
}

HRESULT CEnumVariantArray::InternalQueryInterface(REFIID iid, void** object) {
    // clang-format off
    static const QITAB table[] = {
        InterfaceEntry<CEnumVariantArray, IEnumVARIANT>(IID_IEnumVARIANT),
        {},
    };
    // clang-format on
    return QueryInterfaceFromTable(this, table, iid, object);
}

HRESULT CEnumVariantArray::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    if (fetched != nullptr) *fetched = 0;
    if (count > 0 && items == nullptr) return E_POINTER;
    for (ULONG i = 0; i < count; ++i) VariantInit(&items[i]);
    ULONG done = 0;
    while (done < count && position_ < Count()) {
        IDispatch* service = nullptr;
        if (FAILED(list_.GetAt(static_cast<int>(position_))
                       ->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&service)))) {
            break;
        }
        V_VT(&items[done]) = VT_DISPATCH;
        V_DISPATCH(&items[done]) = service;
        ++done;
        ++position_;
    }
    if (fetched != nullptr) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT CEnumVariantArray::Skip(ULONG count) {
    const ULONG left = position_ < Count() ? Count() - position_ : 0;
    if (count <= left) {
        position_ += count;
        return S_OK;
    }
    position_ = Count();
    return S_FALSE;
}

HRESULT CEnumVariantArray::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT CEnumVariantArray::Clone(IEnumVARIANT** copy) {
    if (copy == nullptr) return E_POINTER;
    *copy = nullptr;
    return ResultOf([&] { *copy = Create(owner_.Get(), list_, position_).Detach(); });
}

}  // namespace paylode
