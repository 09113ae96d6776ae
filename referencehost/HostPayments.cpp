/*
 * The host's payment batch, payments, paying account and bank details.
 */
#include "referencehost/HostPayments.h"

namespace paylode::referencehost {

namespace {
constexpr const wchar_t* kPaymentsLibraryFile = L"TorvoBankPayments.tlb";
}

CHostPayment::CHostPayment(std::shared_ptr<CHostCallLog> log, std::string name, PaymentData data)
    : CHostObject(std::move(log), std::move(name), IID_ITorvoBankPayment, LIBID_TorvoBankPayments,
                  kPaymentsLibraryFile),
      data_(std::move(data)) {}

CHostPayments::CHostPayments(const std::shared_ptr<CHostCallLog>& log, const std::vector<PaymentData>& payments)
    : CHostObject(log, "payments", IID_ITorvoBankPayments, LIBID_TorvoBankPayments, kPaymentsLibraryFile) {
    for (std::size_t i = 0; i < payments.size(); ++i) {
        payments_.push_back(MakeComObject<CHostPayment>(log, "payment[" + std::to_string(i) + "]", payments[i]));
    }
}

STDMETHODIMP CHostPayments::GetItem(long index, ITorvoBankPayment** payment) {
    return Call("GetItem", std::to_string(index), [&]() -> HRESULT {
        if (payment == nullptr) return E_POINTER;
        *payment = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= payments_.size()) return E_INVALIDARG;
        if (withheld_.count(index) != 0) return S_OK;
        return payments_[static_cast<std::size_t>(index)].CopyTo(payment);
    });
}

STDMETHODIMP CHostPayments::GetCount(long* count) {
    return GetValue("GetCount", static_cast<long>(payments_.size()), count);
}

CHostBankDetails::CHostBankDetails(std::shared_ptr<CHostCallLog> log, std::wstring sortCode, std::wstring accountNumber)
    : CHostObject(std::move(log), "details", IID_ITorvoBankDetails, LIBID_TorvoBankPayments, kPaymentsLibraryFile),
      sortCode_(std::move(sortCode)),
      accountNumber_(std::move(accountNumber)) {}

CHostBankAccount::CHostBankAccount(const std::shared_ptr<CHostCallLog>& log, std::wstring sortCode,
                                   std::wstring accountNumber)
    : CHostObject(log, "account", IID_ITorvoBankAccount, LIBID_TorvoBankPayments, kPaymentsLibraryFile),
      details_(MakeComObject<CHostBankDetails>(log, std::move(sortCode), std::move(accountNumber))) {}

STDMETHODIMP CHostBankAccount::GetBankDetails(ITorvoBankDetails** details) {
    return Call("GetBankDetails", {}, [&]() -> HRESULT {
        if (details == nullptr) return E_POINTER;
        *details = nullptr;
        if (!details_) return E_FAIL;  // the account has no bank details
        return details_.CopyTo(details);
    });
}

STDMETHODIMP CHostBankAccount::SetBankDetails(ITorvoBankDetails* details) {
    return Call("SetBankDetails", details != nullptr ? "details" : "null", [&] {
        details_ = details;
        return S_OK;
    });
}

}  // namespace paylode::referencehost
