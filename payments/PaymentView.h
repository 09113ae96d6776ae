/*
 * What the record writers see of one payment: its amount and its text
 * values, already converted to 8-bit text in the ANSI code page, and its
 * status field, which the writers read (the IAT mark) and set (the outcome of
 * their checks). On Windows an adapter answers from the host's payment
 * object; the offline tool and the tests use CPaymentValues.
 *
 * Values may be longer than a field of the payment file; the writers cut
 * every text to 255 characters before they apply their rules.
 */
#pragma once

#include "common/CString.h"

namespace paylode {

class IPaymentView {
public:
    virtual ~IPaymentView() = default;

    virtual double GetAmount() = 0;
    virtual CString GetPayerSortCode() = 0;
    virtual CString GetPayerAccountNumber() = 0;
    virtual CString GetPayeeBACSReference() = 0;
    virtual CString GetPayeeSortCode() = 0;
    virtual CString GetPayeeAccountNumber() = 0;
    virtual CString GetPayeeAccountName() = 0;
    virtual CString GetPayeeRollNumber() = 0;
    // Shown in the payment options dialog's list only; not in the file.
    virtual CString GetDetails() = 0;
    virtual long GetStatus() = 0;
    virtual void SetStatus(long status) = 0;
};

// The values of one payment that the component reads, held in the text type
// of whoever holds them: CString (ANSI) for the record writers, wide text
// for a batch read from a CSV file and for the reference host's payments.
template <typename Text>
struct PaymentFields {
    double amount = 0;
    Text payerSortCode;
    Text payerAccountNumber;
    Text payeeBACSReference;
    Text payeeSortCode;
    Text payeeAccountNumber;
    Text payeeAccountName;
    Text payeeRollNumber;
    Text details;  // shown in the payment options dialog only
    long status = 0;  // the IAT mark, then the run's outcome
};

// A payment held as plain values.
class CPaymentValues : public IPaymentView, public PaymentFields<CString> {
public:

    double GetAmount() override { return amount; }
    CString GetPayerSortCode() override { return payerSortCode; }
    CString GetPayerAccountNumber() override { return payerAccountNumber; }
    CString GetPayeeBACSReference() override { return payeeBACSReference; }
    CString GetPayeeSortCode() override { return payeeSortCode; }
    CString GetPayeeAccountNumber() override { return payeeAccountNumber; }
    CString GetPayeeAccountName() override { return payeeAccountName; }
    CString GetPayeeRollNumber() override { return payeeRollNumber; }
    CString GetDetails() override { return details; }
    long GetStatus() override { return status; }
    void SetStatus(long value) override { status = value; }
};

}  // namespace paylode
