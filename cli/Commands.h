/*
 * The subcommands of the `paylode` tool. Each lives in its own file
 * (cli/<Name>Command.cpp) and adds itself to the application through an Add
 * function declared here; main() calls every Add function. A subcommand's
 * callback sets the exit status in the shared Outcome.
 *
 * Every subcommand ends a usage or input error with one exit status,
 * kUsageError; its other statuses are its own (see docs/developers-guide.md).
 */
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "payments/BankClosures.h"
#include "payments/PaymentFormat.h"

namespace paylode::cli {

// Exit status of a usage or input error, whichever subcommand meets it.
constexpr int kUsageError = 2;

struct Outcome {
    int status = 0;
};

// Makes every option of every subcommand of `app` that takes a value refuse
// one that names an option of its command ("--statuses --no-date-check"), so
// that a forgotten value is a usage error instead of a file named after the
// next option. main() calls it once, after every subcommand is added.
void RefuseOptionsAsValues(CLI::App& app);


// What --format means, for the help of every command that takes it.
extern const char kPaymentFormatHelp[];

// Adds the required --format of `command`: the payment format by its
// number, 0 to 3, into `format`.
void AddPaymentFormatOption(CLI::App& command, PaymentFormat* format);

// Adds the subcommand `name` with its options in an Options that it shares
// with its callback, and gives both back for the caller to declare the
// options: once the command line names it, `run` runs on the options and
// its exit status becomes the outcome (the tool's Outcome, or the host
// program's).
template <typename Options, typename Result>
std::pair<CLI::App*, std::shared_ptr<Options>> AddCommand(CLI::App& app, Result& outcome, const std::string& name,
                                                          const std::string& description, int (*run)(const Options&)) {
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand(name, description);
    command->callback([options, run, &outcome] { outcome.status = run(*options); });
    return {command, options};
}

void AddCalendarCommand(CLI::App& app, Outcome& outcome);
void AddCheckDateCommand(CLI::App& app, Outcome& outcome);
// The folder of the modulus tables and the table of bank closures, in
// UTF-8: natively the source tree's (PAYLODE_MODULUS_TABLES_DIR), on Windows
// the "modulus" folder beside paylode.exe, where the release and the
// packages put it. --tables names another.
std::string ModulusTablesFolder();
// The table of bank closures in ModulusTablesFolder(), read on first use;
// empty, with a line on standard error, when it cannot be read.
const CBankClosures& ToolBankClosures();
// paylode check-account: the UK modulus checks on one account (cli/CheckAccountCommand.cpp).
void AddCheckAccountCommand(CLI::App& app, Outcome& outcome);
// paylode check: a batch's pre-flight report (cli/CheckCommand.cpp).
void AddCheckCommand(CLI::App& app, Outcome& outcome);
void AddStatementCommand(CLI::App& app, Outcome& outcome);
// paylode export: the payment file for a batch of payments (cli/ExportCommand.cpp).
void AddExportCommand(CLI::App& app, Outcome& outcome);
// paylode journal: the payment runs the payment journal records (cli/JournalCommand.cpp).
void AddJournalCommand(CLI::App& app, Outcome& outcome);
// The payment journal's files (PaylodeJournal-*.csv) of `folder` (empty:
// the current folder) in name order, as paths to print: the bare names when
// no folder is given. False when the folder cannot be read.
bool JournalFiles(const std::string& folder, std::vector<std::string>* files);
// One JSON line on standard output; text that is not UTF-8 is replaced.
void PrintJsonLine(const nlohmann::ordered_json& json);
// paylode reconcile: a statement's debits against the payment journal (cli/ReconcileCommand.cpp).
void AddReconcileCommand(CLI::App& app, Outcome& outcome);

}  // namespace paylode::cli
