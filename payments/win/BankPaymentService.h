/*
 * CBankPaymentService: the payment service that the services collection
 * hands to the host, "Bank Payment Service". Beside the common service
 * operations it gives the text of a payment status code (GetStatusText) and
 * runs the payments of a batch (ProcessPayments, payments/win/PaymentRun.h).
 *
 * The object lives in the host's single-threaded apartment: a plain
 * reference count, and one module lock for as long as it lives.
 */
#pragma once

#include "TorvoKelmarBankPaylode.h"
#include "host/HostInterfaces.h"
#include "shell/BankServiceImpl.h"

namespace paylode {

class CBankPaymentService : public ISupportErrorInfo,
                            public IBankServiceImpl<IBankPaymentService, ITorvoBankPaymentService> {
public:
    // Made with one reference, its creator's.
    CBankPaymentService();
    ~CBankPaymentService() override;

    // Makes a service and asks it for `iid`: the creation function of the
    // class table.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // ITorvoBankPaymentService
    STDMETHODIMP GetStatusText(LONG status, BSTR* text) override;
    STDMETHODIMP ProcessPayments(ITorvoBankPayments* payments, ITorvoBankAccount* account) override;

private:
    ULONG references_ = 1;
};

}  // namespace paylode
