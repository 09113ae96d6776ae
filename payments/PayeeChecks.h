/*
 * What the clerk is warned of before a batch is paid, though none of it
 * changes a payment's status or the payment file: each payee account's
 * modulus check (payments/ModulusCheck.h), and a payment that repeats an
 * earlier one of the batch, the commonest clerk's mistake. Two payments are
 * the same payment twice when they have the same payee sort code digits,
 * account number, amount to the penny and payee BACS reference.
 *
 * `paylode check` reports both per payment; the payment options dialog
 * shows them in its list and asks on OK when an account fails or a payment
 * repeats.
 */
#pragma once

#include <string>
#include <unordered_map>

#include "payments/ModulusCheck.h"

namespace paylode {

struct PayeeCheck {
    AccountCheckResult account = AccountCheckResult::NotChecked;
    long repeats = -1;  // the position of the earlier payment it repeats; -1 for none
};

// The cell of the dialog's "Account check" column: the account's result,
// and ", repeats N" with N the earlier payment's 1-based row number:
// "valid", "invalid, repeats 3".
std::string PayeeCheckText(const PayeeCheck& check);

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
