/*
 * `paylode reconcile STATEMENT --sort-code S --account A [--folder DIR]`:
 * sets a statement's debits for one account against the payment runs that
 * the payment journal of DIR (default: the current folder) records from
 * that paying account (payments/Reconcile.h has the rule).
 *
 * The statement is read as the import reads it: a statement that the
 * import would refuse ends with exit status 3 and the import's sentence.
 * The output, one JSON line each: per counted payment or bulk run
 * {"run":…,"row":N,"amount":"…","statement_line":L} (L the file's line,
 * the header being line 1; null when not found; row null for a bulk run),
 * then per debit that nothing in the journal explains
 * {"statement_line":L,"amount":"…","unexplained":true}, and last
 * {"found":F,"not_found":M,"unexplained":U}. Exit status 0 when every
 * counted item was found, 1 when not.
 */
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "common/DebugOutput.h"
#include "common/DigitsOf.h"
#include "common/FileSystem.h"
#include "common/TextConversion.h"
#include "payments/Journal.h"
#include "payments/Reconcile.h"
#include "statements/StatementImport.h"

namespace paylode::cli {

namespace {

using Json = nlohmann::ordered_json;

// Exit status of a statement that the import would refuse.
constexpr int kRefusedStatement = 3;

struct ReconcileOptions {
    std::string statement;
    std::string sortCode;
    std::string account;
    std::string folder;
};

// Reads the statement as the import does, once: the import's sentence when
// it would refuse it.
std::string ReadStatementSide(const ReconcileOptions& options, StatementDebits* side) {
    const std::string& path = options.statement;
    if (std::filesystem::is_directory(path)) return path + " cannot be opened.";
    StatementAccount account;
    account.SetSortCode(options.sortCode.c_str());
    account.SetAccountNumber(options.account.c_str());
    const CheckedStatement checked = CheckStatementFile(path.c_str(), CKeptTransactions::ForAccount(account));
    if (!checked.problem.empty()) return checked.problem;
    const StatementDelivery delivery = DeliverStatementTransactions(
        path.c_str(), checked, account, [&](const StatementTransaction& transaction, int line) {
            side->Add(line, transaction.Date, transaction.Type == 0, transaction.Amount,
                      Utf8FromAnsi(transaction.Narrative.GetString()).Bytes());
        });
    // Read again past the keeper's cap, the file changed in between.
    return delivery.refused ? delivery.problem : std::string();
}

int RunReconcile(const ReconcileOptions& options) {
    // The reader's diagnostics are the import's debugger output, not the tool's.
    ScopedDebugOutputHandler quiet([](const char*) {});
    StatementDebits side;
    const std::string problem = ReadStatementSide(options, &side);
    if (!problem.empty()) {
        std::cerr << "reconcile: " << problem << '\n';
        return kRefusedStatement;
    }

    std::vector<std::string> files;
    if (!JournalFiles(options.folder, &files)) {
        std::cerr << "reconcile: the folder " << (options.folder.empty() ? "." : options.folder) << " cannot be read\n";
        return kUsageError;
    }
    std::vector<JournalEntry> entries;
    std::size_t damaged = 0;
    for (const std::string& file : files) {
        const std::optional<std::string> bytes = ReadWholeFile(file, nullptr, kAnyFileBytes);
        if (!bytes) {
            std::cerr << "reconcile: " << file << " cannot be read\n";
            return kUsageError;
        }
        JournalReading reading = ReadJournal(*bytes);
        damaged += reading.damaged.size();
        std::move(reading.entries.begin(), reading.entries.end(), std::back_inserter(entries));
    }
    if (damaged > 0) {
        std::cerr << "reconcile: " << damaged << (damaged == 1 ? " damaged journal line" : " damaged journal lines")
                  << " skipped (paylode journal --verify names them)\n";
    }

    const Reconciliation result = Reconcile(
        ReconcileItems(entries, DigitsOf(options.sortCode.c_str()).GetString(), options.account, &ToolBankClosures()),
        side);
    for (const ReconcileItem& item : result.items) {
        if (!item.counted) continue;
        PrintJsonLine(Json{{"run", item.run},
                           {"row", item.row != 0 ? Json(item.row) : Json()},
                           {"amount", AmountOfPence(item.pence)},
                           {"statement_line", item.statementLine != 0 ? Json(item.statementLine) : Json()}});
    }
    for (const std::size_t i : result.unexplained) {
        const StatementDebit& debit = side.debits[i];
        PrintJsonLine(
            Json{{"statement_line", debit.line}, {"amount", AmountOfPence(debit.pence)}, {"unexplained", true}});
    }
    PrintJsonLine(Json{{"found", result.found},
                       {"not_found", result.notFound},
                       {"unexplained", static_cast<long>(result.unexplained.size())}});
    return result.notFound == 0 ? 0 : 1;
}

}  // namespace

void AddReconcileCommand(CLI::App& app, Outcome& outcome) {
    const auto [command, options] = AddCommand(
        app, outcome, "reconcile",
        "Match a statement's debits for one account against the payment runs that the payment journal\n"
        "records from that paying account: one JSON line per payment (per run for formats 2 and 3) whose\n"
        "window lies within the statement's dates, with the statement line that shows it (null when none),\n"
        "then one per debit that nothing in the journal explains, then the counts. Exit status 0 when every\n"
        "payment was found, 1 when not, 3 for a statement the import refuses.", RunReconcile);
    command->add_option("STATEMENT", options->statement, "the statement file")->required();
    command->add_option("--sort-code", options->sortCode, "the paying account's sort code (punctuation allowed)")
        ->required();
    command->add_option("--account", options->account, "the paying account's number")->required();
    command->add_option("--folder", options->folder, "the journal folder (default: the current folder)");
}

}  // namespace paylode::cli
