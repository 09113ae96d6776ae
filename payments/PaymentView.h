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

// A payment held as plain values.
class CPaymentValues : public IPaymentView {
public:
    double amount = 0;
    CString payerSortCode;
    CString payerAccountNumber;
    CString payeeBACSReference;
    CString payeeSortCode;
    CString payeeAccountNumber;
    CString payeeAccountName;
    CString payeeRollNumber;
    CString details;  // shown in the payment options dialog only
    long status = 0;

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
