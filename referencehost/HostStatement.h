/*
 * The host's bank statement and its transactions, as the reference host
 * hands them to the statement import: the statement records Clear,
 * SetBalance and each AddTransaction; each new transaction ("transaction[n]",
 * n its position when added) records what the component sets on it.
 */
#pragma once

#include <vector>

#include "common/win/Owners.h"
#include "referencehost/HostObject.h"

namespace paylode::referencehost {

struct TransactionData {
    CVariant id;  // VT_EMPTY until set
    DATE date = 0.0, valueDate = 0.0;
    std::wstring reference, chequeNumber, payeeName, bankCode, memo, currency, category, description, notes;
    long type = 0, cleared = 0, reconciled = 0;
    double exchangeRate = 0.0, runningBalance = 0.0, amount = 0.0;
};

class CHostTransaction : public CHostObject<ITorvoBankTransaction> {
public:
    CHostTransaction(std::shared_ptr<CHostCallLog> log, long index);
    const TransactionData& Data() const { return data_; }

    STDMETHODIMP GetIndex(long* value) override { return GetValue("GetIndex", index_, value); }
    STDMETHODIMP GetID(VARIANT* id) override;
    STDMETHODIMP SetID(VARIANT* id) override;
    STDMETHODIMP GetDate(DATE* value) override { return GetValue("GetDate", data_.date, value); }
    STDMETHODIMP SetDate(DATE value) override { return SetNumber("SetDate", value, &data_.date); }
    STDMETHODIMP GetReference(BSTR* value) override { return GetText("GetReference", data_.reference, value); }
    STDMETHODIMP SetReference(BSTR value) override { return SetText("SetReference", value, &data_.reference); }
    STDMETHODIMP GetChequeNumber(BSTR* value) override { return GetText("GetChequeNumber", data_.chequeNumber, value); }
    STDMETHODIMP SetChequeNumber(BSTR value) override { return SetText("SetChequeNumber", value, &data_.chequeNumber); }
    STDMETHODIMP GetType(long* value) override { return GetValue("GetType", data_.type, value); }
    STDMETHODIMP SetType(long value) override { return SetLong("SetType", value, &data_.type); }
    STDMETHODIMP GetValueDate(DATE* value) override { return GetValue("GetValueDate", data_.valueDate, value); }
    STDMETHODIMP SetValueDate(DATE value) override { return SetNumber("SetValueDate", value, &data_.valueDate); }
    STDMETHODIMP GetCleared(long* value) override { return GetValue("GetCleared", data_.cleared, value); }
    STDMETHODIMP SetCleared(long value) override { return SetLong("SetCleared", value, &data_.cleared); }
    STDMETHODIMP GetReconciled(long* value) override { return GetValue("GetReconciled", data_.reconciled, value); }
    STDMETHODIMP SetReconciled(long value) override { return SetLong("SetReconciled", value, &data_.reconciled); }
    STDMETHODIMP GetPayeeName(BSTR* value) override { return GetText("GetPayeeName", data_.payeeName, value); }
    STDMETHODIMP SetPayeeName(BSTR value) override { return SetText("SetPayeeName", value, &data_.payeeName); }
    STDMETHODIMP GetBankCode(BSTR* value) override { return GetText("GetBankCode", data_.bankCode, value); }
    STDMETHODIMP SetBankCode(BSTR value) override { return SetText("SetBankCode", value, &data_.bankCode); }
    STDMETHODIMP GetMemo(BSTR* value) override { return GetText("GetMemo", data_.memo, value); }
    STDMETHODIMP SetMemo(BSTR value) override { return SetText("SetMemo", value, &data_.memo); }
    STDMETHODIMP GetCurrency(BSTR* value) override { return GetText("GetCurrency", data_.currency, value); }
    STDMETHODIMP SetCurrency(BSTR value) override { return SetText("SetCurrency", value, &data_.currency); }
    STDMETHODIMP GetExchangeRate(double* value) override {
        return GetValue("GetExchangeRate", data_.exchangeRate, value);
    }
    STDMETHODIMP SetExchangeRate(double value) override {
        return SetNumber("SetExchangeRate", value, &data_.exchangeRate);
    }
    STDMETHODIMP GetCategory(BSTR* value) override { return GetText("GetCategory", data_.category, value); }
    STDMETHODIMP SetCategory(BSTR value) override { return SetText("SetCategory", value, &data_.category); }
    STDMETHODIMP GetDescription(BSTR* value) override { return GetText("GetDescription", data_.description, value); }
    STDMETHODIMP SetDescription(BSTR value) override { return SetText("SetDescription", value, &data_.description); }
    STDMETHODIMP GetNotes(BSTR* value) override { return GetText("GetNotes", data_.notes, value); }
    STDMETHODIMP SetNotes(BSTR value) override { return SetText("SetNotes", value, &data_.notes); }
    STDMETHODIMP GetRunningBalance(double* value) override {
        return GetValue("GetRunningBalance", data_.runningBalance, value);
    }
    STDMETHODIMP SetRunningBalance(double value) override {
        return SetNumber("SetRunningBalance", value, &data_.runningBalance);
    }
    STDMETHODIMP GetAmount(double* value) override { return GetValue("GetAmount", data_.amount, value); }
    STDMETHODIMP SetAmount(double value) override { return SetNumber("SetAmount", value, &data_.amount); }

private:
    long index_;
    TransactionData data_;
};

class CHostStatement : public CHostObject<ITorvoBankStatement> {
public:
    explicit CHostStatement(std::shared_ptr<CHostCallLog> log);
    std::size_t Size() const { return transactions_.size(); }
    const CHostTransaction& Transaction(std::size_t index) const { return *transactions_.at(index).Get(); }
    double Balance() const { return balance_; }

    STDMETHODIMP GetItem(long index, ITorvoBankTransaction** transaction) override;
    STDMETHODIMP GetCount(long* count) override;
    STDMETHODIMP AddTransaction(ITorvoBankTransaction** transaction) override;
    STDMETHODIMP Clear() override;
    STDMETHODIMP RemoveTransaction(long index) override;
    STDMETHODIMP GetBalance(double* value) override { return GetValue("GetBalance", balance_, value); }
    STDMETHODIMP SetBalance(double value) override { return SetNumber("SetBalance", value, &balance_); }

private:
    std::vector<Microsoft::WRL::ComPtr<CHostTransaction>> transactions_;
    double balance_ = 0.0;
};

}  // namespace paylode::referencehost
