/*
 * The host's payment objects as the reference host hands them to the bank
 * component: the batch, each payment, the paying account and its bank
 * details. They hold plain values a test or the host program sets, answer
 * the component from them, and record every call in the shared log.
 *
 * A payment keeps the double use of its status field: SetStatus stores the
 * value and GetStatus returns the last one stored, whether it is the
 * inter-account transfer mark of the options dialog or the outcome code of
 * the run.
 */
#pragma once

#include <set>
#include <vector>

#include "payments/PaymentView.h"
#include "referencehost/HostObject.h"

namespace paylode::referencehost {

// A payment's values: those the component reads, and the host's own.
struct PaymentData : PaymentFields<std::wstring> {
    std::wstring payerBACSReference, payerAccountName, payerRollNumber, reference, currency;
    DATE paymentDate = 0.0;
};

class CHostPayment : public CHostObject<ITorvoBankPayment> {
public:
    CHostPayment(std::shared_ptr<CHostCallLog> log, std::string name, PaymentData data);
    // The values as they stand, read without a recorded call.
    const PaymentData& Data() const { return data_; }

    STDMETHODIMP GetAmount(double* value) override { return GetValue("GetAmount", data_.amount, value); }
    STDMETHODIMP SetAmount(double value) override { return SetNumber("SetAmount", value, &data_.amount); }
    STDMETHODIMP GetPayerBACSReference(BSTR* value) override {
        return GetText("GetPayerBACSReference", data_.payerBACSReference, value);
    }
    STDMETHODIMP SetPayerBACSReference(BSTR value) override {
        return SetText("SetPayerBACSReference", value, &data_.payerBACSReference);
    }
    STDMETHODIMP GetPayerSortCode(BSTR* value) override {
        return GetText("GetPayerSortCode", data_.payerSortCode, value);
    }
    STDMETHODIMP SetPayerSortCode(BSTR value) override {
        return SetText("SetPayerSortCode", value, &data_.payerSortCode);
    }
    STDMETHODIMP GetPayerAccountNumber(BSTR* value) override {
        return GetText("GetPayerAccountNumber", data_.payerAccountNumber, value);
    }
    STDMETHODIMP SetPayerAccountNumber(BSTR value) override {
        return SetText("SetPayerAccountNumber", value, &data_.payerAccountNumber);
    }
    STDMETHODIMP GetPayerAccountName(BSTR* value) override {
        return GetText("GetPayerAccountName", data_.payerAccountName, value);
    }
    STDMETHODIMP SetPayerAccountName(BSTR value) override {
        return SetText("SetPayerAccountName", value, &data_.payerAccountName);
    }
    STDMETHODIMP GetPayerRollNumber(BSTR* value) override {
        return GetText("GetPayerRollNumber", data_.payerRollNumber, value);
    }
    STDMETHODIMP SetPayerRollNumber(BSTR value) override {
        return SetText("SetPayerRollNumber", value, &data_.payerRollNumber);
    }
    STDMETHODIMP GetPayeeBACSReference(BSTR* value) override {
        return GetText("GetPayeeBACSReference", data_.payeeBACSReference, value);
    }
    STDMETHODIMP SetPayeeBACSReference(BSTR value) override {
        return SetText("SetPayeeBACSReference", value, &data_.payeeBACSReference);
    }
    STDMETHODIMP GetPayeeSortCode(BSTR* value) override {
        return GetText("GetPayeeSortCode", data_.payeeSortCode, value);
    }
    STDMETHODIMP SetPayeeSortCode(BSTR value) override {
        return SetText("SetPayeeSortCode", value, &data_.payeeSortCode);
    }
    STDMETHODIMP GetPayeeAccountNumber(BSTR* value) override {
        return GetText("GetPayeeAccountNumber", data_.payeeAccountNumber, value);
    }
    STDMETHODIMP SetPayeeAccountNumber(BSTR value) override {
        return SetText("SetPayeeAccountNumber", value, &data_.payeeAccountNumber);
    }
    STDMETHODIMP GetPayeeAccountName(BSTR* value) override {
        return GetText("GetPayeeAccountName", data_.payeeAccountName, value);
    }
    STDMETHODIMP SetPayeeAccountName(BSTR value) override {
        return SetText("SetPayeeAccountName", value, &data_.payeeAccountName);
    }
    STDMETHODIMP GetPayeeRollNumber(BSTR* value) override {
        return GetText("GetPayeeRollNumber", data_.payeeRollNumber, value);
    }
    STDMETHODIMP SetPayeeRollNumber(BSTR value) override {
        return SetText("SetPayeeRollNumber", value, &data_.payeeRollNumber);
    }
    STDMETHODIMP GetReference(BSTR* value) override { return GetText("GetReference", data_.reference, value); }
    STDMETHODIMP SetReference(BSTR value) override { return SetText("SetReference", value, &data_.reference); }
    STDMETHODIMP GetDetails(BSTR* value) override { return GetText("GetDetails", data_.details, value); }
    STDMETHODIMP SetDetails(BSTR value) override { return SetText("SetDetails", value, &data_.details); }
    STDMETHODIMP GetCurrency(BSTR* value) override { return GetText("GetCurrency", data_.currency, value); }
    STDMETHODIMP SetCurrency(BSTR value) override { return SetText("SetCurrency", value, &data_.currency); }
    STDMETHODIMP GetPaymentDate(DATE* value) override { return GetValue("GetPaymentDate", data_.paymentDate, value); }
    STDMETHODIMP SetPaymentDate(DATE value) override { return SetNumber("SetPaymentDate", value, &data_.paymentDate); }
    STDMETHODIMP GetStatus(long* value) override { return GetValue("GetStatus", data_.status, value); }
    STDMETHODIMP SetStatus(long value) override { return SetLong("SetStatus", value, &data_.status); }

private:
    PaymentData data_;
};

class CHostPayments : public CHostObject<ITorvoBankPayments> {
public:
    // The batch holds one payment per row, named payment[0], payment[1], ...
    CHostPayments(const std::shared_ptr<CHostCallLog>& log, const std::vector<PaymentData>& payments);
    CHostPayment& Payment(std::size_t index) { return *payments_.at(index).Get(); }
    std::size_t Size() const { return payments_.size(); }
    // GetItem at this index succeeds but hands back no payment, as a host
    // batch may.
    void Withhold(long index) { withheld_.insert(index); }

    STDMETHODIMP GetItem(long index, ITorvoBankPayment** payment) override;
    STDMETHODIMP GetCount(long* count) override;

private:
    std::vector<Microsoft::WRL::ComPtr<CHostPayment>> payments_;
    std::set<long> withheld_;
};

class CHostBankDetails : public CHostObject<ITorvoBankDetails> {
public:
    CHostBankDetails(std::shared_ptr<CHostCallLog> log, std::wstring sortCode, std::wstring accountNumber);

    STDMETHODIMP GetSortCode(BSTR* value) override { return GetText("GetSortCode", sortCode_, value); }
    STDMETHODIMP SetSortCode(BSTR value) override { return SetText("SetSortCode", value, &sortCode_); }
    STDMETHODIMP GetBankName(BSTR* value) override { return GetText("GetBankName", bankName_, value); }
    STDMETHODIMP SetBankName(BSTR value) override { return SetText("SetBankName", value, &bankName_); }
    STDMETHODIMP GetAccountNumber(BSTR* value) override { return GetText("GetAccountNumber", accountNumber_, value); }
    STDMETHODIMP SetAccountNumber(BSTR value) override { return SetText("SetAccountNumber", value, &accountNumber_); }
    STDMETHODIMP GetAccountName(BSTR* value) override { return GetText("GetAccountName", accountName_, value); }
    STDMETHODIMP SetAccountName(BSTR value) override { return SetText("SetAccountName", value, &accountName_); }

private:
    std::wstring sortCode_, bankName_, accountNumber_, accountName_;
};

class CHostBankAccount : public CHostObject<ITorvoBankAccount> {
public:
    // The account with its bank details object ("details").
    CHostBankAccount(const std::shared_ptr<CHostCallLog>& log, std::wstring sortCode, std::wstring accountNumber);

    STDMETHODIMP GetBankDetails(ITorvoBankDetails** details) override;
    STDMETHODIMP SetBankDetails(ITorvoBankDetails* details) override;
    STDMETHODIMP GetName(BSTR* value) override { return GetText("GetName", name_, value); }
    STDMETHODIMP SetName(BSTR value) override { return SetText("SetName", value, &name_); }

private:
    Microsoft::WRL::ComPtr<ITorvoBankDetails> details_;  // may be null
    std::wstring name_;
};

}  // namespace paylode::referencehost
