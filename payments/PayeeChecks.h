/*
 * What the clerk is warned of before a batch is paid, though none of it
 * changes a payment's status or the payment file: each payee account's
 * modulus check (payments/ModulusCheck.h), and a payment that repeats an
 * earlier one of the batch, the commonest clerk's mistake. Two payments are
 * the same payment twice when they have the same payee sort code digits,
 * account number, amount to the penny and payee BACS reference.
 *
 * `paylode check` reports both per payment; the payment options dialog
 * shows them in its list, with a payment that the payment journal shows was
 * exported before (payments/JournalLookup.h), and asks on OK when an
 * account fails, a payment repeats or a payment was exported before.
 */
#pragma once

#include <string>
#include <unordered_map>

#include "payments/ModulusCheck.h"

namespace paylode {

struct PayeeCheck {
    AccountCheckResult account = AccountCheckResult::NotChecked;
    long repeats = -1;  // the position of the earlier payment it repeats; -1 for none
    std::string exported;     // its latest earlier export, "YYYY-MM-DDTHH:MM:SS"; empty for none
    std::string onStatement;  // the day a statement showed that export, "YYYY-MM-DD"; empty for none
};

// The cell of the dialog's "Account check" column: the account's result,
// ", repeats N" with N the earlier payment's 1-based row number,
// ", exported DD/MM/YYYY" with the day of its latest earlier export and
// ", on statement DD/MM/YYYY" with the day a statement showed it: "valid",
// "invalid, repeats 3", "valid, exported 03/12/2026, on statement 05/12/2026".
std::string PayeeCheckText(const PayeeCheck& check);

// The question on OK about payees that will bounce or be paid twice: "2
// payee accounts fail the bank's account number check, 1 payment repeats an
// earlier one and 3 payments were exported before (the latest on 3 December
// 2026). Export the payment file anyway?" Only the clauses whose count is
// above 0 are asked; `latestExport` is the latest earlier export of the
// payments counted in `exportedBefore`, "YYYY-MM-DDTHH:MM:SS".
// With `journalUnreadable` the question also says that earlier exports
// could not be checked.
std::string PayeeWarningQuestion(long accountFailures, long repeats, long exportedBefore = 0,
                                 const std::string& latestExport = std::string(), bool journalUnreadable = false);

// What the question says when the payment journal could not be read.
constexpr const char kJournalUnreadableText[] = "Earlier exports could not be checked: the payment journal cannot be read.";

class CPayeeChecker {
public:
    // `tables` must outlive the checker; null (tables that could not be
    // read) leaves every account "not checked".
    explicit CPayeeChecker(const CModulusTables* tables) : tables_(tables) {}

    // Checks the payment at `position` (positions rise from 0, one per
    // payment checked) and remembers it for the payments after it.
    PayeeCheck Check(long position, const std::string& sortCode, const std::string& accountNumber, double amount,
                     const std::string& reference);

    // Payees whose account is invalid or badly formed, and payments that
    // repeat an earlier one, among those checked.
    long AccountFailures() const { return accountFailures_; }
    long Repeats() const { return repeats_; }

private:
    const CModulusTables* tables_;
    std::unordered_map<std::string, long> firstOf_;
    std::string key_;  // reused, so a batch allocates its keys once
    long accountFailures_ = 0;
    long repeats_ = 0;
};

// Valid and not checked pass; invalid and bad format fail.
inline bool AccountCheckPassed(AccountCheckResult result) {
    return result == AccountCheckResult::Valid || result == AccountCheckResult::NotChecked;
}

}  // namespace paylode
