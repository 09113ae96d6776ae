/*
 * The core's view of the host's batch of payments (ITorvoBankPayments).
 *
 * The view holds a reference on the batch for as long as it lives. Each
 * GetItem fetches the payment from the host afresh and hands out a view that
 * holds that payment's reference until the caller drops it, so one payment
 * at a time is held while the caller walks the batch. A batch that fails
 * GetItem gives no payment for an index where the batch returns no object;
 * where the batch fails GetItem, the payment run's file steps take it the
 * same way (the run ends with "a payment cannot be fetched"), while the
 * payment options dialog, whose rows and IAT marks must answer to every
 * payment, raises the host's failure. A failing GetCount is raised: a count
 * of nothing would pay nobody and call it done.
 */
#pragma once

#include <memory>

#include <wrl/client.h>

#include "combase/HostCall.h"
#include "host/HostInterfaces.h"
#include "payments/PaymentBatchView.h"
#include "payments/win/HostPaymentView.h"

namespace paylode {

// What a failing GetItem means to the view's user.
enum class FailedFetch { NoPayment, Raise };

class CHostBatchView : public IPaymentBatchView {
public:
    explicit CHostBatchView(ITorvoBankPayments* batch, FailedFetch failedFetch = FailedFetch::NoPayment)
        : batch_(batch), failedFetch_(failedFetch) {}

    long GetCount() override {
        long count = 0;
        if (batch_ != nullptr) CheckHostCall(batch_->GetCount(&count), batch_.Get(), IID_ITorvoBankPayments);
        return count;
    }

    std::unique_ptr<IPaymentView> GetItem(long index) override {
        if (batch_ == nullptr) return nullptr;
        Microsoft::WRL::ComPtr<ITorvoBankPayment> payment;
        const HRESULT fetched = batch_->GetItem(index, &payment);
        if (FAILED(fetched) && failedFetch_ == FailedFetch::Raise) {
            CheckHostCall(fetched, batch_.Get(), IID_ITorvoBankPayments);
        }
        if (FAILED(fetched) || payment == nullptr) return nullptr;
        return std::make_unique<CHeldPaymentView>(std::move(payment));
    }

private:
    // A payment's view that keeps the payment's reference.
    class CHeldPaymentView : public CBankPaymentView {
    public:
        explicit CHeldPaymentView(Microsoft::WRL::ComPtr<ITorvoBankPayment> payment)
            : CBankPaymentView(payment.Get()), payment_(std::move(payment)) {}

    private:
        Microsoft::WRL::ComPtr<ITorvoBankPayment> payment_;
    };

    Microsoft::WRL::ComPtr<ITorvoBankPayments> batch_;
    FailedFetch failedFetch_;
};

}  // namespace paylode
