/*
 * The core's view of the host's batch of payments (ITorvoBankPayments).
 *
 * The view holds a reference on the batch for as long as it lives. Each
 * GetItem fetches the payment from the host afresh and hands out a view that
 * holds that payment's reference until the caller drops it, so one payment
 * at a time is held while the caller walks the batch. A batch that fails
 * GetItem, or returns no object, gives no payment for that index. The result
 * of GetCount is not looked at: the count is what it left (0 when nothing).
 */
#pragma once

#include <memory>

#include <wrl/client.h>

#include "host/HostInterfaces.h"
#include "payments/PaymentBatchView.h"
#include "payments/win/HostPaymentView.h"

namespace paylode {

class CHostBatchView : public IPaymentBatchView {
public:
    explicit CHostBatchView(ITorvoBankPayments* batch) : batch_(batch) {}

    long GetCount() override {
        long count = 0;
        if (batch_ != nullptr) batch_->GetCount(&count);
        return count;
    }

    std::unique_ptr<IPaymentView> GetItem(long index) override {
        if (batch_ == nullptr) return nullptr;
        Microsoft::WRL::ComPtr<ITorvoBankPayment> payment;
        if (FAILED(batch_->GetItem(index, &payment)) || payment == nullptr) return nullptr;
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
};

}  // namespace paylode
