/*
 * The payment service (see BankPaymentService.h).
 */
#include "payments/win/BankPaymentService.h"

#include "common/win/ComObject.h"
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
    return Guarded([&] { return MakeComObject<CBankPaymentService>()->QueryInterface(iid, object); });
}

STDMETHODIMP CBankPaymentService::QueryInterface(REFIID iid, void** object) {
    return QueryServiceInterface(this, iid, object);
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
