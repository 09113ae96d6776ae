/*
 * The payment service (see BankPaymentService.h).
 */
#include "payments/win/BankPaymentService.h"

#include "combase/OperationGuard.h"
#include "payments/win/PaymentRun.h"

namespace paylode {

CBankPaymentService::CBankPaymentService() : CBankServiceBase(L"Bank Payment Service") {}

HRESULT CBankPaymentService::InternalQueryInterface(REFIID iid, void** object) {
    return QueryServiceInterface(this, iid, object);
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

HRESULT CreateBankPaymentService(IUnknown* outer, REFIID iid, void** object) {
    return CreateInstanceOf<CBankPaymentService>(outer, iid, object);
}

}  // namespace paylode
