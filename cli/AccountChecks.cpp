/*
 * The account checks shared by `paylode check-account`, `paylode check`,
 * `paylode export --check-accounts` and `paylode-host pay --check-accounts`
 * (see AccountChecks.h).
 */
#include "cli/AccountChecks.h"

#include <iostream>

namespace paylode::cli {

std::optional<CModulusTables> LoadModulusTables(const std::string& folder, const char* command) {
    std::string error;
    std::optional<CModulusTables> tables = CModulusTables::Load(folder, &error);
    if (!tables) std::cerr << "paylode " << command << ": cannot read the modulus tables in " << folder << ": " << error << "\n";
    return tables;
}

std::string SortCodeText(const std::string& given) {
    std::string digits;
    for (char c : given) {
        if (c >= '0' && c <= '9') digits += c;
    }
    return digits.size() == 6 ? digits : given;
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

std::string AccountWarning(const CModulusTables& tables, std::size_t index, const std::string& sortCode,
                           const std::string& accountNumber) {
    const AccountCheck check = tables.Check(sortCode, accountNumber);
    if (AccountCheckPassed(check.result)) return {};
    std::string warning = "payment " + std::to_string(index) + ": sort code " + sortCode + ", account " +
                          accountNumber + ": " + AccountCheckResultText(check.result);
    std::string failed;
    for (const AppliedCheck& applied : check.checks) {
        if (!applied.passed) failed += (failed.empty() ? "" : ", ") + applied.method;
    }
    if (!failed.empty()) warning += " (" + failed + ")";
    return warning;
}

}  // namespace paylode::cli
