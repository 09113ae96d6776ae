/*
 * The payee checks of a batch; see PayeeChecks.h.
 */
#include "payments/PayeeChecks.h"

#include <cstdio>
#include <vector>

#include "common/DigitsOf.h"
#include "payments/PaymentRecords.h"

namespace paylode {
namespace {

// The day of an export's local time "YYYY-MM-DDTHH:MM:SS"; false when it
// does not begin with a date.
bool DayOfExport(const std::string& exported, int* year, int* month, int* day) {
    return std::sscanf(exported.c_str(), "%4d-%2d-%2d", year, month, day) == 3 && *month >= 1 && *month <= 12;
}

// "exported 03/12/2026", "on statement 05/12/2026": the words, then the day
// of a "YYYY-MM-DD..." text.
std::string DayCellText(const char* words, const std::string& when) {
    int year = 0, month = 0, day = 0;
    if (!DayOfExport(when, &year, &month, &day)) return std::string(words) + " " + when;
    char text[48];
    std::snprintf(text, sizeof text, "%s %02d/%02d/%04d", words, day, month, year);
    return text;
}

// "3 December 2026".
std::string ExportedQuestionDay(const std::string& exported) {
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    int year = 0, month = 0, day = 0;
    if (!DayOfExport(exported, &year, &month, &day)) return exported;
    return std::to_string(day) + " " + kMonths[month - 1] + " " + std::to_string(year);
}

}  // namespace

std::string PayeeCheckText(const PayeeCheck& check) {
    std::string text = AccountCheckResultText(check.account);
    if (check.repeats >= 0) text += ", repeats " + std::to_string(check.repeats + 1);
    if (!check.exported.empty()) text += ", " + DayCellText("exported", check.exported);
    if (!check.onStatement.empty()) text += ", " + DayCellText("on statement", check.onStatement);
    return text;
}

std::string PayeeWarningQuestion(long accountFailures, long repeats, long exportedBefore,
                                 const std::string& latestExport, bool journalUnreadable) {
    std::vector<std::string> clauses;
    if (accountFailures > 0) {
        clauses.push_back(std::to_string(accountFailures) +
                          (accountFailures == 1 ? " payee account fails" : " payee accounts fail") +
                          " the bank's account number check");
    }
    if (repeats > 0) {
        clauses.push_back(std::to_string(repeats) +
                          (repeats == 1 ? " payment repeats an earlier one" : " payments repeat earlier ones"));
    }
    if (exportedBefore > 0) {
        clauses.push_back(std::to_string(exportedBefore) +
                          (exportedBefore == 1 ? " payment was exported before" : " payments were exported before") +
                          " (the latest on " + ExportedQuestionDay(latestExport) + ")");
    }
    std::string text;
    for (std::size_t i = 0; i < clauses.size(); ++i) {
        if (i > 0) text += i + 1 == clauses.size() ? " and " : ", ";
        text += clauses[i];
    }
    if (!text.empty()) text += ". ";
    if (journalUnreadable) text += std::string(kJournalUnreadableText) + " ";
    return text + "Export the payment file anyway?";
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
