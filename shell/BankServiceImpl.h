/*
 * IBankServiceImpl: the common half of the payment and statement services.
 *
 * The host reaches every service through its derived service interface
 * (payments or reconciliation), which derives from the framework's base
 * service interface, which derives from IDispatch. This template implements
 * the base operations once, over the class's own dual interface: the
 * service's name, fixed at construction, and its status value, which the
 * service's own process operation and the host set. IDispatch is served from
 * the component's type library.
 *
 * A service class derives from ISupportErrorInfo and from this template and
 * answers QueryInterface with QueryServiceInterface(), then
 * ISupportErrorInfo; InterfaceSupportsErrorInfo answers with
 * SupportsErrorInfo().
 */
#pragma once

#include <type_traits>

#include "common/HResult.h"
#include "host/HostInterfaces.h"
#include "shell/OperationGuard.h"
#include "shell/TypeInfo.h"

namespace paylode {

template <typename Dual, typename HostService>
class IBankServiceImpl : public Dual {
    static_assert(std::is_base_of_v<HostService, Dual> && std::is_base_of_v<ITorvoBankService, HostService>,
                  "the dual interface derives from the host's service interface");

public:
    // ---- IDispatch, from the component's type library ----------------------
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
        ITypeInfo* info = nullptr;
        HRESULT hr = GetComponentTypeInfo(__uuidof(Dual), &info);
        if (FAILED(hr)) return hr;
        hr = info->GetIDsOfNames(names, count, ids);
        info->Release();
        return hr;
    }
    STDMETHODIMP Invoke(DISPID member, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* info = nullptr;
        HRESULT hr = GetComponentTypeInfo(__uuidof(Dual), &info);
        if (FAILED(hr)) return hr;
        hr = info->Invoke(static_cast<Dual*>(this), member, flags, parameters, result, exception, argumentError);
        info->Release();
        return hr;
    }

    // ---- the base service operations ----------------------------------------
    STDMETHODIMP GetName(BSTR* name) override {
        return Guarded([&] {
            RequireArgument(name != nullptr);
            *name = SysAllocStringLen(name_, SysStringLen(name_));
            if (*name == nullptr) ThrowHResult(kOutOfMemory);
        });
    }
    STDMETHODIMP GetServiceStatus(LONG* status) override {
        return Guarded([&] {
            RequireArgument(status != nullptr);
            *status = status_;
        });
    }
    // The framework may reset or override the status as it likes.
    STDMETHODIMP SetServiceStatus(LONG status) override {
        status_ = status;
        return S_OK;
    }
    // The services have no extra information: nothing is written.
    STDMETHODIMP GetExtraInfo(VARIANT* info) override {
        return Guarded([&] { RequireArgument(info != nullptr); });
    }
    STDMETHODIMP GetExtraItem(LONG, VARIANT* item) override {
        return Guarded([&] { RequireArgument(item != nullptr); });
    }

protected:
    // The name is the service's display name; E_OUTOFMEMORY when no copy
    // can be had.
    explicit IBankServiceImpl(const wchar_t* name) : name_(SysAllocString(name)) {
        if (name_ == nullptr) ThrowHResult(kOutOfMemory);
    }
    virtual ~IBankServiceImpl() { SysFreeString(name_); }
    IBankServiceImpl(const IBankServiceImpl&) = delete;
    IBankServiceImpl& operator=(const IBankServiceImpl&) = delete;

    // The interfaces of the service, in the order QueryInterface answers
    // them: the dual interface, the host's service interface, IDispatch; and
    // IUnknown as the first. The framework's base service interface is not
    // answered by its own IID: the host reaches it through the derived one.
    // Null when `iid` is none of them.
    Dual* QueryServiceInterface(REFIID iid) {
        if (IsEqualIID(iid, __uuidof(Dual)) || IsEqualIID(iid, __uuidof(HostService)) ||
            IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IUnknown)) {
            return static_cast<Dual*>(this);
        }
        return nullptr;
    }

    // Error information is given for the class's own dual interface only.
    static HRESULT SupportsErrorInfo(REFIID iid) { return IsEqualIID(iid, __uuidof(Dual)) ? S_OK : S_FALSE; }

    LONG Status() const { return status_; }
    void SetStatus(LONG status) { status_ = status; }

private:
    BSTR name_;
    LONG status_ = 0;
};

}  // namespace paylode
