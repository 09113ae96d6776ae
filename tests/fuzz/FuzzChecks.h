/*
 * What every fuzz target of the statement reader holds the reader to, and
 * the quiet debugger output they run with (the reader reports every failed
 * line there, which would drown the fuzzer's own output).
 */
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/DebugOutput.h"
#include "statements/TransactionRecord.h"

namespace paylode::fuzz {

// Stops the run with a message; the fuzzer keeps the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void Check(bool condition, const char* what) {
    if (!condition) Fail(what);
}

// A record the parser delivered: every column within its kept length, the
// amounts positive, finite and never both set, the date a finite day.
inline void CheckRecord(const CTransactionRecord& record) {
    Check(record.SortCode.GetLength() <= 6, "sort code length");
    Check(record.AccountNumber.GetLength() <= 8, "account number length");
    Check(record.AccountAlias.GetLength() <= 35 && record.AccountShortName.GetLength() <= 35, "account names");
    Check(record.Currency.GetLength() <= 3 && record.Type.GetLength() <= 3, "currency and type length");
    Check(record.AccountType.GetLength() <= 20 && record.BIC.GetLength() <= 34, "account type and BIC length");
    Check(record.BankName.GetLength() <= 35 && record.BranchName.GetLength() <= 27, "bank and branch length");
    for (const CString* narrative :
         {&record.Narrative1, &record.Narrative2, &record.Narrative3, &record.Narrative4, &record.Narrative5}) {
        Check(narrative->GetLength() <= 50, "narrative length");
    }
    Check(std::isfinite(record.Debit) && std::isfinite(record.Credit), "finite amounts");
    Check(record.Debit >= 0 && record.Credit >= 0, "positive amounts");
    Check(record.Debit == 0 || record.Credit == 0, "a debit or a credit, not both");
    Check((record.DebitFlag == 1) == (record.Debit > 5e-6), "debit flag");
    Check(std::isfinite(record.Date) && record.Date == std::floor(record.Date), "a whole day");
}

// Silences the reader's debugger output for the whole run.
inline const ScopedDebugOutputHandler quietDebugOutput{[](const char*) {}};

}  // namespace paylode::fuzz
