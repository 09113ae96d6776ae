/*
 * `paylode journal [--folder DIR] [--sort-code S --account A]
 * [--since YYYY-MM-DD] [--payments] [--verify]`: lists the payment runs
 * that the payment journal (payments/Journal.h) records.
 *
 * It reads every PaylodeJournal-*.csv in DIR (default: the current folder)
 * in name order, and prints one JSON line per run, in journal order:
 * {"run":…,"exported":…,"user":…,"machine":…,"payer_sort_code":…,
 * "payer_account_number":…,"format":N,"processing_date":…,"currency":…,
 * "payment_file":…,"payment_file_sha256":…,"payments":N,"total":"1234.56"};
 * with --payments one line per payment instead, keyed by the journal's
 * column names. --sort-code and --account keep one paying account, --since
 * the runs exported on or after that day. Damaged lines are skipped, and
 * counted on standard error; --verify prints one line per damaged line,
 * {"file":…,"line":N,"problem":…}, and exits with 1 when there is one.
 */
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/ProcessingDate.h"
#include "common/DigitsOf.h"
#include "common/FileSystem.h"
#include "common/OleDate.h"
#include "payments/Journal.h"

namespace paylode::cli {

namespace {

using Json = nlohmann::ordered_json;

struct JournalOptions {
    std::string folder;
    std::string sortCode;
    std::string account;
    std::string since;
    bool payments = false;
    bool verify = false;
};

constexpr std::string_view kJournalPrefix = "PaylodeJournal-";
constexpr std::string_view kJournalSuffix = ".csv";

bool IsJournalFileName(const std::string& name) {
    return name.size() > kJournalPrefix.size() + kJournalSuffix.size() &&
           name.compare(0, kJournalPrefix.size(), kJournalPrefix) == 0 &&
           name.compare(name.size() - kJournalSuffix.size(), kJournalSuffix.size(), kJournalSuffix) == 0;
}

// A journal file's path as printed: the folder as given, then the file's
// name. On Windows they are joined by the separator the folder is written
// with (a backslash when it has none), so that a path reads as it was typed;
// "C:" alone takes the name as it is, as the drive's current folder.
std::string JournalFilePath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    const char last = folder.back();
    if (last == '/' || last == '\\' || last == ':') return folder + name;
    const std::size_t separator = folder.find_last_of("/\\");
    return folder + (separator == std::string::npos ? '\\' : folder[separator]) + name;
#else
    return (std::filesystem::path(folder) / name).string();
#endif
}

}  // namespace

void PrintJsonLine(const nlohmann::ordered_json& json) {
    std::cout << json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

bool JournalFiles(const std::string& folder, std::vector<std::string>* files) {
    std::error_code error;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (IsJournalFileName(name) && entry->is_regular_file(error)) names.push_back(name);
    }
    if (error) return false;
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        files->push_back(folder.empty() ? name : JournalFilePath(folder, name));
    }
    return true;
}

namespace {

// A whole number of the journal as a JSON number; another text as it is.
Json Number(const std::string& text) {
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) {
            return c >= '0' && c <= '9';
        })) {
        return text;
    }
    return std::stol(text);
}

// The sum of a run's amounts, "nan" when one is not an amount in pence or
// the sum goes beyond 64 bits of pence.
struct RunTotal {
    std::int64_t pence = 0;
    bool readable = true;

    void Add(const std::string& amount) {
        std::int64_t value = 0;
        if (!readable || !PenceOfAmount(amount, &value) || __builtin_add_overflow(pence, value, &pence)) {
            readable = false;
        }
    }
    std::string Text() const { return readable ? AmountOfPence(pence) : "nan"; }
};

Json RunJson(const JournalEntry& first, long payments, const RunTotal& total) {
    Json json;
    for (const JournalColumn column :
         {kJournalRun, kJournalExported, kJournalUser, kJournalMachine, kJournalPayerSortCode,
          kJournalPayerAccountNumber, kJournalFormat, kJournalProcessingDate, kJournalCurrency, kJournalPaymentFile,
          kJournalPaymentFileSha256}) {
        json[kJournalFieldNames[column]] = column == kJournalFormat ? Number(first[column]) : Json(first[column]);
    }
    json["payments"] = payments;
    json["total"] = total.Text();
    return json;
}

Json PaymentJson(const JournalEntry& entry) {
    Json json;
    for (int column = 0; column < kJournalColumnCount; ++column) {
        const auto named = static_cast<JournalColumn>(column);
        json[kJournalFieldNames[column]] =
            named == kJournalFormat || named == kJournalRow ? Number(entry[named]) : Json(entry[named]);
    }
    return json;
}


int RunJournal(const JournalOptions& options, bool forAccount) {
    std::vector<std::string> files;
    if (!JournalFiles(options.folder, &files)) {
        std::cerr << "journal: the folder " << (options.folder.empty() ? "." : options.folder)
                  << " cannot be read\n";
        return kUsageError;
    }
    const std::string sortCode = DigitsOf(options.sortCode.c_str()).GetString();
    const std::string since = options.since.empty() ? std::string() : FormatIsoDate(*ParseIsoDate(options.since));
    const auto kept = [&](const JournalEntry& entry) {
        if (forAccount && (entry[kJournalPayerSortCode] != sortCode || entry[kJournalPayerAccountNumber] != options.account)) {
            return false;
        }
        return since.empty() || entry[kJournalExported].substr(0, since.size()) >= since;
    };

    std::size_t damaged = 0;
    for (const std::string& file : files) {
        const std::optional<std::string> bytes = ReadWholeFile(file, nullptr, kAnyFileBytes);
        if (!bytes) {
            std::cerr << "journal: " << file << " cannot be read\n";
            return kUsageError;
        }
        const JournalReading reading = ReadJournal(*bytes);
        damaged += reading.damaged.size();
        if (options.verify) {
            for (const JournalDamage& damage : reading.damaged) {
                PrintJsonLine(Json{{"file", file}, {"line", damage.line}, {"problem", damage.problem}});
            }
            continue;
        }
        // A run's lines were written together: consecutive lines of one run.
        const std::vector<JournalEntry>& entries = reading.entries;
        for (std::size_t first = 0; first < entries.size();) {
            std::size_t end = first + 1;
            while (end < entries.size() && entries[end][kJournalRun] == entries[first][kJournalRun]) ++end;
            if (kept(entries[first])) {
                if (options.payments) {
                    for (std::size_t i = first; i < end; ++i) PrintJsonLine(PaymentJson(entries[i]));
                } else {
                    RunTotal total;
                    for (std::size_t i = first; i < end; ++i) total.Add(entries[i][kJournalAmount]);
                    PrintJsonLine(RunJson(entries[first], static_cast<long>(end - first), total));
                }
            }
            first = end;
        }
    }
    if (options.verify) return damaged > 0 ? 1 : 0;
    if (damaged > 0) {
        std::cerr << "journal: " << damaged << (damaged == 1 ? " damaged line" : " damaged lines")
                  << " skipped (--verify names them)\n";
    }
    return 0;
}

}  // namespace

void AddJournalCommand(CLI::App& app, Outcome& outcome) {
    auto options = std::make_shared<JournalOptions>();
    CLI::App* command = app.add_subcommand(
        "journal",
        "List the payment runs that the payment journal records, one JSON line per run in journal order,\n"
        "from every PaylodeJournal-*.csv of a folder. Damaged lines are skipped; --verify names them and\n"
        "exits with 1 when there is one.");
    command->add_option("--folder", options->folder, "the journal folder (default: the current folder)");
    CLI::Option* sortCode = command->add_option("--sort-code", options->sortCode,
                                                "keep the runs of this paying account (punctuation allowed)");
    CLI::Option* account = command->add_option("--account", options->account, "the paying account's number");
    sortCode->needs(account);
    account->needs(sortCode);
    command->add_option("--since", options->since, "keep the runs exported on or after this day, YYYY-MM-DD")
        ->check(IsoDate());
    CLI::Option* payments =
        command->add_flag("--payments", options->payments, "one JSON line per payment instead of per run");
    command
        ->add_flag("--verify", options->verify,
                   "one JSON line per damaged line of every journal file instead; exit status 1 when there is one")
        ->excludes(payments);
    command->callback(
        [options, sortCode, &outcome] { outcome.status = RunJournal(*options, sortCode->count() > 0); });
}

}  // namespace paylode::cli
