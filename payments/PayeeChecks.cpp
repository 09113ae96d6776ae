/*
 * The payee checks of a batch; see PayeeChecks.h.
 */
#include "payments/PayeeChecks.h"

#include "common/DigitsOf.h"
#include "payments/PaymentRecords.h"

namespace paylode {

std::string PayeeCheckText(const PayeeCheck& check) {
    std::string text = AccountCheckResultText(check.account);
    if (check.repeats >= 0) text += ", repeats " + std::to_string(check.repeats + 1);
    return text;
}

PayeeCheck CPayeeChecker::Check(long position, const std::string& sortCode, const std::string& accountNumber,
                                double amount, const std::string& reference) {
    PayeeCheck check;
    if (tables_ != nullptr) check.account = tables_->Check(sortCode, accountNumber).result;
    accountFailures_ += !AccountCheckPassed(check.account);

    key_.assign(DigitsOf(sortCode.c_str()).GetString());
    key_ += '|';
    key_ += accountNumber;
    key_ += '|';
    key_ += AmountField(amount);
    key_ += '|';
    key_ += reference;
    const auto [first, added] = firstOf_.emplace(key_, position);
    if (!added) {
        check.repeats = first->second;
        ++repeats_;
    }
    return check;
}

}  // namespace paylode
