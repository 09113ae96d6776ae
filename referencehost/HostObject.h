/*
 * What every object of the reference host shares: reference counting, one
 * QueryInterface table (the object's host interface, also for IUnknown,
 * IDispatch, ISupportErrorInfo), IDispatch served from the host's type
 * library (CTypeInfoDispatch, combase/DispatchBase.h), and the recorded
 * call with its injected faults.
 *
 * A method body runs through Call(): the call is numbered by the fault
 * campaign's plan (HostCallPlan.h), entered in the log, looked up among the
 * faults to play, run, and completed with its result; calls it makes in turn
 * (a callback) come after it in the log. The object also tells the plan of
 * every reference taken or released beyond the host's own.
 *
 * An object is constructed holding one reference, its creator's: make it
 * with MakeComObject (combase/ComPointers.h).
 */
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <wrl/client.h>

#include "combase/ComPointers.h"
#include "combase/DispatchBase.h"
#include "host/HostInterfaces.h"
#include "referencehost/HostCallLog.h"
#include "referencehost/HostCallPlan.h"

namespace paylode::referencehost {

// The type information of a host interface: from the registered host type
// library, or else from the library's .tlb file beside the program.
HRESULT LoadHostTypeInfo(REFGUID library, const wchar_t* fileName, REFIID iid, ITypeInfo** info);

template <typename Interface>
class CHostObject : public CTypeInfoDispatch<Interface, CHostObject<Interface>, E_POINTER>, public ISupportErrorInfo {
public:
    CHostObject(std::shared_ptr<CHostCallLog> log, std::string name, const IID& iid, const GUID& library,
                const wchar_t* libraryFile)
        : log_(std::move(log)), name_(std::move(name)), iid_(iid), library_(library), libraryFile_(libraryFile) {
        log_->ObjectCreated();
    }
    virtual ~CHostObject() {
        // The host's own reference, when it still had it, was the last.
        CHostCallPlan::AddOutsideReferences(hostReferences_);
        log_->ObjectDestroyed();
    }
    CHostObject(const CHostObject&) = delete;
    CHostObject& operator=(const CHostObject&) = delete;

    const std::string& Name() const { return name_; }
    CHostCallLog& Log() const { return *log_; }
    const std::shared_ptr<CHostCallLog>& SharedLog() const { return log_; }
    const IID& InterfaceId() const { return iid_; }

    // IUnknown, answered by CComObject (combase/ComObject.h), declared once
    // for all of the class's interfaces, so that the class's own pointer
    // reaches it.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override = 0;
    STDMETHODIMP_(ULONG) AddRef() override = 0;
    STDMETHODIMP_(ULONG) Release() override = 0;
    // The object's host interface (also for IUnknown), IDispatch,
    // ISupportErrorInfo.
    HRESULT InternalQueryInterface(REFIID iid, void** object) {
        // clang-format off
        const QITAB table[] = {
            InterfaceEntry<CHostObject, Interface>(iid_),
            InterfaceEntry<CHostObject, Interface>(IID_IDispatch),
            InterfaceEntry<CHostObject, ISupportErrorInfo>(IID_ISupportErrorInfo),
            {},
        };
        // clang-format on
        return QueryInterfaceFromTable(this, table, iid, object);
    }
    // Every reference taken or released is told to the campaign's plan.
    void ReferenceCounted(ULONG, bool added) { CHostCallPlan::AddOutsideReferences(added ? 1 : -1); }

    // The host lets go of the reference it made the object with: it is about
    // to release it, or has handed it to a caller. From now on every
    // reference on the object is someone else's.
    void ForgetHostReference() {
        if (hostReferences_ == 0) return;
        hostReferences_ = 0;
        CHostCallPlan::AddOutsideReferences(1);
    }

    // IDispatch's type information: the host interface's, from the host
    // type library, loaded on first use.
    HRESULT DispatchTypeInfo(ITypeInfo** info) {
        if (!typeInfo_) {
            const HRESULT loaded = LoadHostTypeInfo(library_, libraryFile_, iid_, &typeInfo_);
            if (FAILED(loaded)) return loaded;
        }
        return typeInfo_.CopyTo(info);
    }

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return IsEqualIID(iid, iid_) ? S_OK : S_FALSE; }

protected:
    // Runs one operation: plays an injected failure instead of the body,
    // otherwise runs the body, and records the call either way. The call is
    // numbered by the campaign's plan, which may fail it too.
    template <typename Body>
    HRESULT Call(const char* operation, std::string arguments, Body body) {
        const HRESULT planned = CHostCallPlan::NextCall();
        return Play(operation, std::move(arguments),
                    FAILED(planned) ? planned : log_->InjectedFailure(name_, operation), body);
    }
    // The same for a call that the plan does not number (OleRun's Run).
    template <typename Body>
    HRESULT UnnumberedCall(const char* operation, std::string arguments, Body body) {
        return Play(operation, std::move(arguments), log_->InjectedFailure(name_, operation), body);
    }

    HRESULT GetText(const char* operation, const std::wstring& value, BSTR* out) {
        return Call(operation, {}, [&]() -> HRESULT {
            if (out == nullptr) return E_POINTER;
            if (log_->NullTextInjected(name_, operation)) {
                *out = nullptr;
                return S_OK;
            }
            *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
            return *out != nullptr ? S_OK : E_OUTOFMEMORY;
        });
    }
    HRESULT SetText(const char* operation, BSTR value, std::wstring* field) {
        return Call(operation, TextArgument(value), [&] {
            field->assign(value != nullptr ? value : L"", value != nullptr ? SysStringLen(value) : 0);
            return S_OK;
        });
    }
    template <typename T>
    HRESULT GetValue(const char* operation, const T& value, T* out) {
        return Call(operation, {}, [&] {
            if (out == nullptr) return E_POINTER;
            *out = value;
            return S_OK;
        });
    }
    HRESULT SetNumber(const char* operation, double value, double* field) {
        return Call(operation, NumberArgument(value), [&] {
            *field = value;
            return S_OK;
        });
    }
    HRESULT SetLong(const char* operation, long value, long* field) {
        return Call(operation, std::to_string(value), [&] {
            *field = value;
            return S_OK;
        });
    }

private:
    // Records the call, plays `injected` when it is a failure, else runs the
    // body.
    template <typename Body>
    HRESULT Play(const char* operation, std::string arguments, HRESULT injected, Body body) {
        const std::size_t position = log_->Record({name_, operation, std::move(arguments), S_OK, {}});
        HRESULT result = injected;
        if (FAILED(result)) {
            SetCallErrorInfo(iid_, "The host failed " + name_ + "." + operation + " as it was told to.");
        } else {
            result = body();
        }
        log_->Complete(position, result);
        return result;
    }

    std::shared_ptr<CHostCallLog> log_;
    std::string name_;
    IID iid_;
    GUID library_;
    const wchar_t* libraryFile_;
    long hostReferences_ = 1;  // the host's own, until it lets go (ForgetHostReference)
    Microsoft::WRL::ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace paylode::referencehost
