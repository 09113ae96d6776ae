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

#include "cli/AccountChecks.h"
#include "cli/Commands.h"

namespace paylode::cli {

void AddCheckAccountCommand(CLI::App& app, Outcome& outcome) {
    struct Arguments {
        std::string sortCode;
        std::string accountNumber;
        std::string tables = ModulusTablesFolder();
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
        const std::optional<CModulusTables> tables = LoadModulusTables(arguments->tables, "check-account");
        if (!tables) {
            outcome.status = kUsageError;
            return;
        }
        const AccountCheck check = tables->Check(arguments->sortCode, arguments->accountNumber);
        std::cout << AccountCheckJson(arguments->sortCode, arguments->accountNumber, check).dump() << std::endl;
        outcome.status = AccountCheckPassed(check.result) ? 0 : 1;
    });
}

}  // namespace paylode::cli
