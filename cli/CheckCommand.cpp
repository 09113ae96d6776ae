/*
 * `paylode check BATCH.csv --format N [--euro] [--human] [--tables DIR]`: a
 * pre-flight report of a batch (the CSV that `paylode export` reads) before
 * anything is written. One JSON line per payment:
 *
 *   {"index":0,"code":0,"text":"Payment processed successfully.",
 *    "account_check":"valid","duplicate_of":null}
 *
 * `code` and `text` are what the payment file's record writer of the format
 * would leave on the payment; `account_check` is the payee account's modulus
 * check; `duplicate_of` names an earlier payment to the same sort code and
 * account with the same amount and reference, the commonest clerk's
 * mistake. Then one summary line:
 *
 *   {"payments":3,"faults":1,"account_failures":1,"duplicates":1,"totals":{"GBP":"60.00"}}
 *
 * --human prints the same as an aligned table with the summary under it.
 * Exit status 0 with no fault, no failed account and no duplicate, else 1;
 * kUsageError for a usage or input error.
 */
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/AccountChecks.h"
#include "cli/BatchCsv.h"
#include "cli/Commands.h"
#include "common/FileSystem.h"
#include "payments/PayeeChecks.h"
#include "payments/PaymentFile.h"
#include "payments/PaymentRecords.h"
#include "payments/StatusTexts.h"

namespace paylode::cli {
namespace {

struct CheckOptions {
    std::string batch;
    PaymentFormat format = PaymentFormat::Standard;
    bool euro = false;
    bool human = false;
    std::string tables = ModulusTablesFolder();
};

struct PaymentReport {
    long code = 0;
    PayeeCheck payee;
};

// The status the record writer of `format` leaves on the payment; nothing
// is written anywhere. The IAT mark of the batch is read as the writer reads it.
long RecordStatus(CPaymentValues payment, PaymentFormat format, bool euro) {
    CDiscardRecordOutput nowhere;
    if (format == PaymentFormat::AdHocBulk) {
        WriteAdHocRecord(nowhere, payment, CurrencyFor(euro));
    } else {
        WritePaymentRecord(nowhere, payment, kNoProcessingDate, format, "", CurrencyFor(euro), RecordFile::PaymentFile);
    }
    return payment.status;
}

// The batch's reports and their counts.
struct BatchReport {
    std::vector<PaymentReport> payments;
    long faults = 0;
    long accountFailures = 0;
    long duplicates = 0;
    double total = 0;
    const char* currency = "GBP";
};

BatchReport CheckPayments(const std::vector<CPaymentValues>& payments, const CModulusTables& tables,
                          const CheckOptions& options) {
    BatchReport batch;
    batch.payments.resize(payments.size());
    batch.currency = options.euro ? "EUR" : "GBP";
    CPayeeChecker payees(&tables);
    for (std::size_t i = 0; i < payments.size(); ++i) {
        const CPaymentValues& payment = payments[i];
        PaymentReport& report = batch.payments[i];
        report.code = RecordStatus(payment, options.format, options.euro);
        report.payee = payees.Check(static_cast<long>(i), payment.payeeSortCode.GetString(),
                                    payment.payeeAccountNumber.GetString(), payment.amount,
                                    payment.payeeBACSReference.GetString());
        batch.faults += report.code != kStatusSuccess;
        batch.total += payment.amount;
    }
    batch.accountFailures = payees.AccountFailures();
    batch.duplicates = payees.Repeats();
    return batch;
}

// A table for people: one row per payment, then the counts.
void PrintForPeople(const BatchReport& batch) {
    std::cout << std::left << std::setw(6) << "index" << std::setw(6) << "code" << std::setw(13) << "account"
              << std::setw(11) << "duplicate"
              << "status\n";
    for (std::size_t i = 0; i < batch.payments.size(); ++i) {
        const PaymentReport& report = batch.payments[i];
        const char* text = PaymentStatusText(report.code);
        std::cout << std::setw(6) << i << std::setw(6) << report.code << std::setw(13)
                  << AccountCheckResultText(report.payee.account) << std::setw(11)
                  << (report.payee.repeats >= 0 ? "of " + std::to_string(report.payee.repeats) : std::string("-"))
                  << (text != nullptr ? text : "") << "\n";
    }
    std::cout << "\n"
              << batch.payments.size() << " payments, " << batch.faults << " faults, " << batch.accountFailures
              << " account failures, " << batch.duplicates << " duplicates; total " << batch.currency << " "
              << AmountField(batch.total) << "\n";
}

// One JSON line per payment, then the counts.
void PrintJson(const BatchReport& batch) {
    for (std::size_t i = 0; i < batch.payments.size(); ++i) {
        const PaymentReport& report = batch.payments[i];
        const char* text = PaymentStatusText(report.code);
        nlohmann::ordered_json line;
        line["index"] = i;
        line["code"] = report.code;
        line["text"] = text != nullptr ? text : "";
        line["account_check"] = AccountCheckResultText(report.payee.account);
        line["duplicate_of"] = report.payee.repeats >= 0 ? nlohmann::ordered_json(report.payee.repeats) : nullptr;
        std::cout << line.dump() << "\n";
    }
    nlohmann::ordered_json summary;
    summary["payments"] = batch.payments.size();
    summary["faults"] = batch.faults;
    summary["account_failures"] = batch.accountFailures;
    summary["duplicates"] = batch.duplicates;
    summary["totals"] = {{batch.currency, AmountField(batch.total)}};
    std::cout << summary.dump() << "\n";
}

int RunCheck(const CheckOptions& options) {
    const std::optional<std::string> bytes = ReadWholeFile(options.batch, nullptr, kAnyFileBytes);
    if (!bytes) {
        std::cerr << "paylode check: cannot read " << options.batch << "\n";
        return kUsageError;
    }
    std::vector<CPaymentValues> payments;
    std::string error;
    if (!ReadPaymentBatch(*bytes, &payments, &error)) {
        std::cerr << "paylode check: " << options.batch << ": " << error << "\n";
        return kUsageError;
    }
    const std::optional<CModulusTables> tables = LoadModulusTables(options.tables, "check");
    if (!tables) return kUsageError;
    const BatchReport batch = CheckPayments(payments, *tables, options);
    if (options.human) {
        PrintForPeople(batch);
    } else {
        PrintJson(batch);
    }
    std::cout.flush();
    return batch.faults == 0 && batch.accountFailures == 0 && batch.duplicates == 0 ? 0 : 1;
}

}  // namespace

void AddCheckCommand(CLI::App& app, Outcome& outcome) {
    const auto [command, options] = AddCommand(
        app, outcome, "check",
        "A pre-flight report of a batch (the CSV of `paylode export`) without writing anything: each payment's\n"
        "status, its payee account's modulus check and any earlier duplicate, then a summary. Exit status 0\n"
        "when nothing is wrong, 1 otherwise, 2 for a usage or input error", RunCheck);
    command->add_option("BATCH", options->batch, "the batch of payments, CSV")->required();
    AddPaymentFormatOption(*command, &options->format);
    command->add_flag("--euro", options->euro, "euro payments for the Republic of Ireland (totals in EUR)");
    command->add_flag("--human", options->human, "an aligned table and the summary under it");
    command->add_option("--tables", options->tables, "the folder of the weight and substitution tables");
}

}  // namespace paylode::cli
