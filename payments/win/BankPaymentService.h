/*
 * CBankPaymentService: the payment service that the services collection
 * hands to the host, "Bank Payment Service". Beside the common service
 * operations it gives the text of a payment status code (GetStatusText) and
 * runs the payments of a batch (ProcessPayments, payments/win/PaymentRun.h).
 *
 * Made by CreateBankPaymentService (combase/ComponentObject.h gives it its
 * reference count, module lock and aggregation).
 */
#pragma once

#include "TorvoKelmarBankPaylode.h"
#include "combase/BankServiceBase.h"
#include "combase/ComponentObject.h"
#include "host/HostInterfaces.h"

namespace paylode {

class CBankPaymentService : public ISupportErrorInfo,
                            public CBankServiceBase<IBankPaymentService, ITorvoBankPaymentService>,
                            public CObjectRoot {
public:
    // The dual interface, the host's payment service interface, IDispatch,
    // ISupportErrorInfo; IUnknown is the first.
    HRESULT InternalQueryInterface(REFIID iid, void** object);

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // ITorvoBankPaymentService
    STDMETHODIMP GetStatusText(LONG status, BSTR* text) override;
    STDMETHODIMP ProcessPayments(ITorvoBankPayments* payments, ITorvoBankAccount* account) override;

protected:
    CBankPaymentService();
    ~CBankPaymentService() override = default;
};

// The class's creation function (shell/ClassTable.h): the plain object, or
// the inner object of an aggregate; the interface `iid` in `object`.
HRESULT CreateBankPaymentService(IUnknown* outer, REFIID iid, void** object);

}  // namespace paylode
