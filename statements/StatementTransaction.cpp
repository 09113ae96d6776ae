/*
 * Account matching and the transaction a statement line becomes (see
 * StatementTransaction.h).
 */
#include "statements/StatementTransaction.h"

#include "common/DigitsOf.h"

namespace paylode {

namespace {
// The type code of a cheque line; its first narrative is the cheque number.
constexpr const char* kChequeType = "CHQ";
}  // namespace

StatementTransaction TransactionFromRecord(CTransactionRecord& record, std::int32_t sequence) {
    StatementTransaction transaction;
    transaction.ID = sequence;
    transaction.Date = record.GetDate();
    if (record.IsDebit()) {
        transaction.Type = 0;
        transaction.Amount = record.GetDebit();
    } else {
        transaction.Type = 1;
        transaction.Amount = record.GetCredit();
    }
    transaction.Narrative = record.GetNarrative();
    transaction.Description = transaction.Narrative;
    transaction.Cheque = record.GetType().Compare(kChequeType) == 0;
    if (transaction.Cheque) {
        transaction.Reference = record.GetNarrative1();
        transaction.Description = CString(kChequeType) + " " + transaction.Narrative;
    } else {
        transaction.Reference = record.GetType();
    }
    return transaction;
}

void StatementAccount::SetSortCode(const CString& sortCode) { AccountSortCode = DigitsOf(sortCode.Left(kMaxHostText)); }

void StatementAccount::SetAccountNumber(const CString& accountNumber) {
    AccountNumber = accountNumber.Left(kMaxHostText);
}

bool StatementAccount::Matches(const CTransactionRecord& record) const {
    return record.SortCode == AccountSortCode && record.AccountNumber == AccountNumber;
}

}  // namespace paylode
