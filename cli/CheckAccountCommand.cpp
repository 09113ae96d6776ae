/*
 * `paylode check-account SORT-CODE ACCOUNT [--tables DIR]`: the published UK
 * modulus checks on one sort code and account number, as one JSON line:
 *
 *   {"sort_code":"089999","account_number":"66374958","result":"valid",
 *    "checks":[{"method":"MOD11","exception":0,"outcome":"pass"}]}
 *
 * The result is "valid", "invalid", "not checked" (no rule covers the sort
 * code) or "bad format". Exit status 0 for valid or not checked, 1 for
 * invalid or bad format, kUsageError for a usage error or tables that cannot
 * be read. A valid number is one the bank's rules allow, not proof that it
 * is the intended payee's.
 */
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "payments/ModulusCheck.h"

namespace paylode::cli {

namespace {

// The sort code as it is checked: its digits, when it has six; else as given.
std::string SortCodeText(const std::string& given) {
    std::string digits;
    for (char c : given) {
        if (c >= '0' && c <= '9') digits += c;
    }
    return digits.size() == 6 ? digits : given;
}

std::optional<CModulusTables> LoadModulusTables(const std::string& folder) {
    std::string error;
    std::optional<CModulusTables> tables = CModulusTables::Load(folder, &error);
    if (!tables) std::cerr << "paylode: cannot read the modulus tables in " << folder << ": " << error << "\n";
    return tables;
}

nlohmann::ordered_json AccountCheckJson(const std::string& sortCode, const std::string& accountNumber,
                                        const AccountCheck& check) {
    nlohmann::ordered_json line;
    line["sort_code"] = SortCodeText(sortCode);
    line["account_number"] = accountNumber;
    line["result"] = AccountCheckResultText(check.result);
    nlohmann::ordered_json checks = nlohmann::ordered_json::array();
    for (const AppliedCheck& applied : check.checks) {
        checks.push_back({{"method", applied.method},
                          {"exception", applied.exception},
                          {"outcome", applied.passed ? "pass" : "fail"}});
    }
    line["checks"] = checks;
    return line;
}

}  // namespace

void AddCheckAccountCommand(CLI::App& app, Outcome& outcome) {
    struct Arguments {
        std::string sortCode;
        std::string accountNumber;
        std::string tables = PAYLODE_MODULUS_TABLES_DIR;
    };
    auto arguments = std::make_shared<Arguments>();
    CLI::App* command = app.add_subcommand(
        "check-account",
        "Checks a sort code and account number with the published UK modulus rules; prints one JSON line.\n"
        "Exit status 0 valid or not checked, 1 invalid or bad format, 2 usage error");
    command->add_option("SORT-CODE", arguments->sortCode, "the sort code, e.g. 08-99-99")->required();
    command->add_option("ACCOUNT", arguments->accountNumber, "the account number")->required();
    command->add_option("--tables", arguments->tables, "the folder of the weight and substitution tables");
    command->callback([arguments, &outcome] {
        const std::optional<CModulusTables> tables = LoadModulusTables(arguments->tables);
        if (!tables) {
            outcome.status = kUsageError;
            return;
        }
        const AccountCheck check = tables->Check(arguments->sortCode, arguments->accountNumber);
        std::cout << AccountCheckJson(arguments->sortCode, arguments->accountNumber, check).dump() << std::endl;
        const bool passed = check.result == AccountCheckResult::Valid || check.result == AccountCheckResult::NotChecked;
        outcome.status = passed ? 0 : 1;
    });
}

}  // namespace paylode::cli
