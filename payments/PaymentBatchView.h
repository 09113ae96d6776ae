/*
 * What the core sees of the host's batch of payments: how many there are,
 * and the payment at an index, or none when the batch does not return one
 * for that index. On Windows an adapter answers from the host's batch
 * (payments/win/HostBatchView.h); the offline tool and the tests use
 * CPaymentBatchValues.
 */
#pragma once

#include <memory>
#include <set>
#include <vector>

#include "payments/PaymentView.h"

namespace paylode {

class IPaymentBatchView {
public:
    virtual ~IPaymentBatchView() = default;

    // Number of payments in the batch.
    virtual long GetCount() = 0;
    // The payment at `index` (0 to count - 1), fetched afresh; null when the
    // batch returns no payment there. The view lives as long as the caller
    // keeps it and no longer.
    virtual std::unique_ptr<IPaymentView> GetItem(long index) = 0;
};

// A batch held as plain values. Indices listed in `missing` return no
// payment, as a host batch may.
class CPaymentBatchValues : public IPaymentBatchView {
public:
    std::vector<CPaymentValues> payments;
    std::set<long> missing;

    long GetCount() override { return static_cast<long>(payments.size()); }
    std::unique_ptr<IPaymentView> GetItem(long index) override {
        if (index < 0 || index >= GetCount() || missing.count(index) != 0) return nullptr;
        return std::make_unique<CPaymentRef>(payments[static_cast<std::size_t>(index)]);
    }

private:
    // Forwards to a payment of the vector, so that SetStatus lands there.
    class CPaymentRef : public IPaymentView {
    public:
        explicit CPaymentRef(CPaymentValues& payment) : payment_(payment) {}
        double GetAmount() override { return payment_.GetAmount(); }
        CString GetPayerSortCode() override { return payment_.GetPayerSortCode(); }
        CString GetPayerAccountNumber() override { return payment_.GetPayerAccountNumber(); }
        CString GetPayeeBACSReference() override { return payment_.GetPayeeBACSReference(); }
        CString GetPayeeSortCode() override { return payment_.GetPayeeSortCode(); }
        CString GetPayeeAccountNumber() override { return payment_.GetPayeeAccountNumber(); }
        CString GetPayeeAccountName() override { return payment_.GetPayeeAccountName(); }
        CString GetPayeeRollNumber() override { return payment_.GetPayeeRollNumber(); }
        CString GetDetails() override { return payment_.GetDetails(); }
        long GetStatus() override { return payment_.GetStatus(); }
        void SetStatus(long status) override { payment_.SetStatus(status); }

    private:
        CPaymentValues& payment_;
    };
};

}  // namespace paylode
