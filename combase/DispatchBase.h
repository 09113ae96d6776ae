/*
 * IDispatch served from a type library through ITypeInfo::Invoke, so that
 * script clients and late-bound callers reach the same vtable operations as
 * early-bound ones.
 *
 *   CTypeInfoDispatch<Dual, Derived, kNullOut>
 *       IDispatch of the dual interface `Dual`, whose type information
 *       `Derived` gives with
 *           HRESULT DispatchTypeInfo(ITypeInfo** info);
 *       (one reference for the caller). A null out pointer of
 *       GetTypeInfoCount or GetTypeInfo is answered `kNullOut`: E_INVALIDARG
 *       by the component's classes, E_POINTER by the reference host's
 *       objects, as each one's callers have always been answered. A riid
 *       other than IID_NULL is DISP_E_UNKNOWNINTERFACE.
 *
 *   CDispatchBase<Dual>
 *       the component's classes: from the component's type library
 *       (combase/TypeInfo.h). Every class of the component derives its dual
 *       interface through it.
 */
#pragma once

#include <wrl/client.h>

#include "combase/TypeInfo.h"

namespace paylode {

template <typename Dual, typename Derived, HRESULT kNullOut>
class CTypeInfoDispatch : public Dual {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return kNullOut;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (info == nullptr) return kNullOut;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return Self().DispatchTypeInfo(info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        Microsoft::WRL::ComPtr<ITypeInfo> info;
        const HRESULT found = Self().DispatchTypeInfo(info.GetAddressOf());
        if (FAILED(found)) return found;
        return info->GetIDsOfNames(names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        Microsoft::WRL::ComPtr<ITypeInfo> info;
        const HRESULT found = Self().DispatchTypeInfo(info.GetAddressOf());
        if (FAILED(found)) return found;
        return info->Invoke(static_cast<Dual*>(this), member, flags, parameters, result, exception, argumentError);
    }

protected:
    CTypeInfoDispatch() = default;
    ~CTypeInfoDispatch() = default;

private:
    Derived& Self() { return static_cast<Derived&>(*this); }
};

template <typename Dual>
class CDispatchBase : public CTypeInfoDispatch<Dual, CDispatchBase<Dual>, E_INVALIDARG> {
public:
    HRESULT DispatchTypeInfo(ITypeInfo** info) { return GetComponentTypeInfo(__uuidof(Dual), info); }

protected:
    CDispatchBase() = default;
    ~CDispatchBase() = default;
};

}  // namespace paylode
