/*
 * The record writers' view of one of the host's payments. Each text the
 * writers ask for is fetched from the host as a BSTR, converted to the ANSI
 * code page (a character the code page cannot hold becomes its closest
 * letter or "?", which the payment file's character rules then drop) and
 * freed at once; the status calls go straight back to the host's payment, so
 * the host sees every status the writers set, in order.
 *
 * A call that the host fails is raised (CheckHostCall): a payment written
 * from values the host could not give, or a status the host did not take,
 * would make a file or a status that says something other than the truth.
 * A getter that succeeds with a null text gives empty text.
 *
 * The view borrows the payment for the writer's call; the caller holds the
 * reference. It is written for any interface that has the host payment's
 * operations; CBankPaymentView is the one for the host's ITorvoBankPayment.
 */
#pragma once

#include "combase/HostCall.h"
#include "common/CString.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "host/HostInterfaces.h"
#include "payments/PaymentView.h"

namespace paylode {

// The host's text in the ANSI code page, up to its first NUL; "" for none.
inline CString AnsiOf(const CBstr& text) { return CString(static_cast<const wchar_t*>(text.Get())); }

template <class HostPayment>
class CHostPaymentView : public IPaymentView {
public:
    explicit CHostPaymentView(HostPayment* payment) : payment_(payment) {}

    double GetAmount() override {
        double amount = 0;
        Check(payment_->GetAmount(&amount));
        return amount;
    }
    CString GetPayerSortCode() override { return Text(&HostPayment::GetPayerSortCode); }
    CString GetPayerAccountNumber() override { return Text(&HostPayment::GetPayerAccountNumber); }
    CString GetPayeeBACSReference() override { return Text(&HostPayment::GetPayeeBACSReference); }
    CString GetPayeeSortCode() override { return Text(&HostPayment::GetPayeeSortCode); }
    CString GetPayeeAccountNumber() override { return Text(&HostPayment::GetPayeeAccountNumber); }
    CString GetPayeeAccountName() override { return Text(&HostPayment::GetPayeeAccountName); }
    CString GetPayeeRollNumber() override { return Text(&HostPayment::GetPayeeRollNumber); }
    CString GetDetails() override { return Text(&HostPayment::GetDetails); }
    long GetStatus() override {
        long status = 0;
        Check(payment_->GetStatus(&status));
        return status;
    }
    void SetStatus(long status) override { Check(payment_->SetStatus(status)); }

private:
    void Check(HRESULT result) { CheckHostCall(result, payment_, __uuidof(HostPayment)); }

    // One of the payment's texts; "" when the host gives none.
    CString Text(HRESULT (STDMETHODCALLTYPE HostPayment::*get)(BSTR*)) {
        CBstr text;
        Check((payment_->*get)(text.Receive()));
        return AnsiOf(text);
    }

    HostPayment* payment_;
};

// The view of a payment of the host's batch.
using CBankPaymentView = CHostPaymentView<ITorvoBankPayment>;

}  // namespace paylode
