/*
 * What the statement import does with the records it reads: which lines
 * belong to the host's account, and what transaction each of them becomes
 * on the host's statement. The statement service applies these to the host's
 * objects; the native tool prints them.
 */
#pragma once

#include <cstdint>

#include "common/CString.h"
#include "statements/TransactionRecord.h"

namespace paylode {

// One transaction for the host's statement.
struct StatementTransaction {
    std::int32_t ID = 0;    // sequence number within the import, from 1
    double Date = 0.0;      // OLE automation date; 0.0 when the line's date is unreadable
    std::int32_t Type = 0;  // 0 a debit (money out), 1 a credit (money in)
    double Amount = 0.0;    // the debit or credit amount, positive
    CString Reference;      // the type code, or a cheque's number
    CString Description;    // the combined narrative, "CHQ " before it for a cheque
    CString Narrative;      // the combined narrative alone
    bool Cheque = false;    // the line's type is exactly "CHQ"
};

// The transaction that `record` becomes as number `sequence` of an import.
// It reads the record's date, debit flag, debit or credit, type and five
// narratives only: those are what CKeptTransactions keeps of a line.
StatementTransaction TransactionFromRecord(CTransactionRecord& record, std::int32_t sequence);

// The host's account that an import keeps lines of. Both values survive from
// one import to the next; each is replaced only when the host supplies one.
class StatementAccount {
public:
    // Longest sort code or account number the host may supply; a longer one
    // is cut to this many characters.
    static constexpr int kMaxHostText = 31;

    // The host's sort code, with any punctuation: only its decimal digits
    // are kept (12-34-56 becomes 123456).
    void SetSortCode(const CString& sortCode);
    void SetAccountNumber(const CString& accountNumber);

    // True when the record's sort code and account number are exactly the
    // account's (case-sensitive, byte for byte).
    bool Matches(const CTransactionRecord& record) const;

    CString AccountSortCode;
    CString AccountNumber;
};

}  // namespace paylode
