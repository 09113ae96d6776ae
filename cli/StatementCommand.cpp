/*
 * `paylode statement FILE [--sort-code S --account A]`: reads a statement
 * file with the component's own reader, as the statement import does, and
 * prints what it finds as JSON lines.
 *
 * Without an account it prints the header's verdict and then every record
 * read, all fields by name, until the first line that cannot be read. With
 * the host's sort code and account number it prints the transactions that
 * the import would add to the host's statement. A last line on standard
 * error says how far the reading went and why it stopped.
 *
 * A file that the import would refuse (it cannot be opened, its header has
 * another field count than 14 or 18, or a line that cannot be read has
 * readable lines after it) ends with exit status 1 and the import's own
 * sentence as the last line; with an account nothing is printed then, as
 * the import adds nothing.
 */
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/TransactionJson.h"
#include "common/DebugOutput.h"
#include "common/FileSystem.h"
#include "common/TextConversion.h"
#include "statements/QVTTransactionFile.h"
#include "statements/StatementImport.h"

namespace paylode::cli {

namespace {

using Json = nlohmann::ordered_json;

struct StatementOptions {
    std::string file;
    std::string sortCode;
    std::string account;
    bool forAccount = false;
    bool debugOutput = false;
};

Json Text(const CString& text) { return Utf8FromAnsi(text.GetString()).Bytes(); }

Json RecordJson(CTransactionRecord& record) {
    Json json;
    json["SortCode"] = Text(record.SortCode);
    json["AccountNumber"] = Text(record.AccountNumber);
    json["AccountAlias"] = Text(record.AccountAlias);
    json["AccountShortName"] = Text(record.AccountShortName);
    json["Currency"] = Text(record.Currency);
    json["AccountType"] = Text(record.AccountType);
    json["BIC"] = Text(record.BIC);
    json["BankName"] = Text(record.BankName);
    json["BranchName"] = Text(record.BranchName);
    json["DateText"] = Text(record.DateText);
    json["Date"] = JsonNumber(record.Date);
    json["Narrative1"] = Text(record.Narrative1);
    json["Narrative2"] = Text(record.Narrative2);
    json["Narrative3"] = Text(record.Narrative3);
    json["Narrative4"] = Text(record.Narrative4);
    json["Narrative5"] = Text(record.Narrative5);
    json["Narrative"] = Text(record.GetNarrative());
    json["Type"] = Text(record.Type);
    json["Debit"] = JsonNumber(record.Debit);
    json["Credit"] = JsonNumber(record.Credit);
    json["DebitFlag"] = record.DebitFlag;
    return json;
}

Json TransactionJson(const StatementTransaction& transaction) {
    return cli::TransactionJson(transaction.ID, transaction.Date, transaction.Type, transaction.Amount,
                                Utf8FromAnsi(transaction.Reference.GetString()),
                                Utf8FromAnsi(transaction.Description.GetString()));
}

// Why the reading stopped.
std::string StopReason(const StatementReading& reading, int columnCount) {
    const std::string at = "line " + std::to_string(reading.linesRead);
    std::string reason = "unknown";
    switch (reading.stop) {
    case CTransactionRecord::TooFewFields:
        reason = reading.atEnd ? "end of the file" : at + " has fewer than 14 fields";
        break;
    case CTransactionRecord::LineTooLong: reason = at + " is longer than 2047 characters"; break;
    case CTransactionRecord::HoldsNul: reason = at + " holds a NUL character"; break;
    case CTransactionRecord::BeyondColumnMap:
        reason = at + " has 18 fields but the header only " + std::to_string(columnCount);
        break;
    case CTransactionRecord::FileNotOpen: reason = "the file is not open"; break;
    case CTransactionRecord::TextFailure: reason = at + " could not be handled as text"; break;
    case CTransactionRecord::NoError: break;
    }
    return reason;
}

int RunStatement(const StatementOptions& options) {
    // The reader's diagnostics go to standard error only when asked for, one
    // a line, so that the summary stays the last line.
    ScopedDebugOutputHandler debugOutput([&options](const char* text) {
        if (!options.debugOutput) return;
        std::string line = text;
        while (!line.empty() && line.back() == '\n') line.pop_back();
        std::cerr << "debug: " << line << '\n';
    });

    const bool directory = std::filesystem::is_directory(options.file);
    // A pipe or a device is never read: its reading could wait for ever.
    const bool device = CurrentFileSystem().IsDevice(options.file);
    CQVTTransactionFile reader(device ? nullptr : options.file.c_str(), std::ios_base::in | std::ios_base::binary);
    if (directory || !reader.IsOpen()) {
        if (!options.forAccount) std::cout << Json{{"ColumnCount", 0}, {"IsStatementFile", false}}.dump() << '\n';
        if (device) {
            std::cerr << "statement: " << StatementFileProblem(options.file.c_str()) << '\n';
        } else {
            std::cerr << "statement: " << options.file << " cannot be opened.\n";
        }
        return 1;
    }

    const bool statement = reader.BuildColumnMap();
    if (!options.forAccount) {
        std::cout << Json{{"ColumnCount", reader.ColumnCount}, {"IsStatementFile", statement}}.dump() << '\n';
    }
    // The import reads the whole file before it adds anything: a file it
    // refuses gets no transaction. That reading keeps the account's
    // transactions, which are then printed from there.
    StatementAccount account;
    account.SetSortCode(options.sortCode.c_str());
    account.SetAccountNumber(options.account.c_str());
    const CheckedStatement checked =
        statement && !options.forAccount
            ? CheckedStatement{}
            : CheckStatementFile(options.file.c_str(), options.forAccount ? CKeptTransactions::ForAccount(account)
                                                                          : CKeptTransactions());
    if (!checked.problem.empty()) {
        std::cerr << "statement: " << checked.problem << '\n';
        return 1;
    }

    StatementReading reading;
    if (options.forAccount) {
        const StatementDelivery delivery = DeliverStatementTransactions(
            options.file.c_str(), checked, account, [](const StatementTransaction& transaction, int) {
                std::cout << TransactionJson(transaction).dump() << '\n';
            });
        if (delivery.refused && !delivery.reading.Refused()) {
            // Read again, the file is no longer a statement: it changed since.
            std::cerr << "statement: " << delivery.problem << '\n';
            return 1;
        }
        reading = delivery.reading;
    } else {
        reading = ReadStatementRecords(
            reader, [](CTransactionRecord& record) { std::cout << RecordJson(record).dump() << '\n'; });
    }
    std::cerr << "statement: " << reading.linesRead << " lines read, " << reading.records << " records delivered";
    if (options.forAccount) std::cerr << ", " << reading.transactions << " for the account";
    std::cerr << "; stopped: " << StopReason(reading, reader.ColumnCount) << '\n';
    if (reading.Refused()) {
        std::cerr << "statement: " << UnreadableLineText(reading, options.file.c_str()) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

void AddStatementCommand(CLI::App& app, Outcome& outcome) {
    auto options = std::make_shared<StatementOptions>();
    CLI::App* command = app.add_subcommand(
        "statement",
        "Read a statement file as the import does and print it as JSON lines: the header's verdict and every\n"
        "record, or with --sort-code and --account the transactions the import would add for that account.\n"
        "Exit status 1 for a file the import refuses (it cannot be opened, is not a statement, or has a line\n"
        "that cannot be read before readable ones), with the import's sentence on standard error.");
    command->add_option("FILE", options->file, "the statement file")->required();
    CLI::Option* sortCode =
        command->add_option("--sort-code", options->sortCode, "the host account's sort code (punctuation allowed)");
    CLI::Option* account = command->add_option("--account", options->account, "the host account's number");
    sortCode->needs(account);
    account->needs(sortCode);
    command->add_flag("--debug-output", options->debugOutput, "show the reader's debugger output on standard error");
    command->callback([options, sortCode, &outcome] {
        options->forAccount = sortCode->count() > 0;
        outcome.status = RunStatement(*options);
    });
}

}  // namespace paylode::cli
