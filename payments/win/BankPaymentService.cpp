/*
 * The payment service (see BankPaymentService.h).
 */
#include "payments/win/BankPaymentService.h"

#include <new>

#include "payments/win/PaymentRun.h"
#include "shell/Module.h"
#include "shell/OperationGuard.h"

namespace paylode {

CBankPaymentService::CBankPaymentService() : IBankServiceImpl(L"Bank Payment Service") { Module::Lock(); }

CBankPaymentService::~CBankPaymentService() { Module::Unlock(); }

HRESULT CBankPaymentService::Create(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    CBankPaymentService* service = nullptr;
    try {
        service = new CBankPaymentService();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (HResult code) {
        return code;
    }
    const HRESULT result = service->QueryInterface(iid, object);
    service->Release();
    return result;
}

STDMETHODIMP CBankPaymentService::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IBankPaymentService* service = QueryServiceInterface(iid)) {
        *object = service;
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
        *object = static_cast<ISupportErrorInfo*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CBankPaymentService::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) CBankPaymentService::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP CBankPaymentService::InterfaceSupportsErrorInfo(REFIID iid) { return SupportsErrorInfo(iid); }

STDMETHODIMP CBankPaymentService::GetStatusText(LONG status, BSTR* text) {
    return Guarded([&] {
        RequireArgument(text != nullptr);
        // A code without a text leaves the caller's pointer as it was.
        if (BSTR found = PaymentStatusTextFor(status)) *text = found;
    });
}

STDMETHODIMP CBankPaymentService::ProcessPayments(ITorvoBankPayments* payments, ITorvoBankAccount* account) {
    return Guarded([&] { return RunPayments(payments, account, [this](LONG status) { SetStatus(status); }); });
}

}  // namespace paylode
