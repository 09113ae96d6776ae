/*
 * The host's statement and transactions.
 */
#include "referencehost/HostStatement.h"

namespace paylode::referencehost {

namespace {
constexpr const wchar_t* kReconciliationLibraryFile = L"TorvoBankReconciliation.tlb";
}

CHostTransaction::CHostTransaction(std::shared_ptr<CHostCallLog> log, long index)
    : CHostObject(std::move(log), "transaction[" + std::to_string(index) + "]", IID_ITorvoBankTransaction,
                  LIBID_TorvoBankReconciliation, kReconciliationLibraryFile),
      index_(index) {}

STDMETHODIMP CHostTransaction::GetID(VARIANT* id) {
    return Call("GetID", {}, [&]() -> HRESULT {
        if (id == nullptr) return E_POINTER;
        return data_.id.CopyTo(id);
    });
}

STDMETHODIMP CHostTransaction::SetID(VARIANT* id) {
    return Call("SetID", VariantArgument(id), [&]() -> HRESULT {
        if (id == nullptr) return E_POINTER;
        // A later SetID replaces the earlier identifier.
        data_.id.Reset();
        return VariantCopy(data_.id.Receive(), id);
    });
}

CHostStatement::CHostStatement(std::shared_ptr<CHostCallLog> log)
    : CHostObject(std::move(log), "statement", IID_ITorvoBankStatement, LIBID_TorvoBankReconciliation,
                  kReconciliationLibraryFile) {}

STDMETHODIMP CHostStatement::GetItem(long index, ITorvoBankTransaction** transaction) {
    return Call("GetItem", std::to_string(index), [&]() -> HRESULT {
        if (transaction == nullptr) return E_POINTER;
        *transaction = nullptr;
        if (index < 0 || static_cast<std::size_t>(index) >= transactions_.size()) return E_INVALIDARG;
        return transactions_[static_cast<std::size_t>(index)].CopyTo(transaction);
    });
}

STDMETHODIMP CHostStatement::GetCount(long* count) {
    return GetValue("GetCount", static_cast<long>(transactions_.size()), count);
}

STDMETHODIMP CHostStatement::AddTransaction(ITorvoBankTransaction** transaction) {
    return Call("AddTransaction", {}, [&]() -> HRESULT {
        if (transaction == nullptr) return E_POINTER;
        *transaction = nullptr;
        transactions_.push_back(MakeComObject<CHostTransaction>(SharedLog(), static_cast<long>(transactions_.size())));
        return transactions_.back().CopyTo(transaction);
    });
}

STDMETHODIMP CHostStatement::Clear() {
    return Call("Clear", {}, [&] {
        for (const auto& transaction : transactions_) transaction->ForgetHostReference();
        transactions_.clear();
        return S_OK;
    });
}

STDMETHODIMP CHostStatement::RemoveTransaction(long index) {
    return Call("RemoveTransaction", std::to_string(index), [&]() -> HRESULT {
        if (index < 0 || static_cast<std::size_t>(index) >= transactions_.size()) return E_INVALIDARG;
        transactions_[static_cast<std::size_t>(index)]->ForgetHostReference();
        transactions_.erase(transactions_.begin() + index);
        return S_OK;
    });
}

}  // namespace paylode::referencehost
