/*
 * CDispatchBase: IDispatch for a class's own dual interface, served from the
 * component's type library (combase/TypeInfo.h), so that script clients and
 * the host's late-bound calls reach the same vtable operations as early-bound
 * callers. Every class of the component derives its dual interface through
 * it.
 */
#pragma once

#include <wrl/client.h>

#include "combase/TypeInfo.h"

namespace paylode {

template <typename Dual>
class CDispatchBase : public Dual {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_INVALIDARG;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (info == nullptr) return E_INVALIDARG;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return GetComponentTypeInfo(__uuidof(Dual), info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        Microsoft::WRL::ComPtr<ITypeInfo> info;
        HRESULT hr = GetComponentTypeInfo(__uuidof(Dual), info.GetAddressOf());
        if (FAILED(hr)) return hr;
        return info->GetIDsOfNames(names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        Microsoft::WRL::ComPtr<ITypeInfo> info;
        HRESULT hr = GetComponentTypeInfo(__uuidof(Dual), info.GetAddressOf());
        if (FAILED(hr)) return hr;
        return info->Invoke(static_cast<Dual*>(this), member, flags, parameters, result, exception, argumentError);
    }

protected:
    CDispatchBase() = default;
    ~CDispatchBase() = default;
};

}  // namespace paylode
