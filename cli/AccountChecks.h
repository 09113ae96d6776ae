/*
 * What `paylode check-account` and `paylode check` share: the modulus tables
 * read from their folder (each program's default unless --tables names
 * another), and an account's result as JSON.
 */
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "payments/ModulusCheck.h"
#include "payments/PayeeChecks.h"

namespace paylode::cli {

// The tables in `folder`; a message on standard error naming `command` and
// nullopt when they cannot be read.
std::optional<CModulusTables> LoadModulusTables(const std::string& folder, const char* command);

// The sort code as it is checked: its digits when it has six, else as given.
std::string SortCodeText(const std::string& given);

// {"sort_code":...,"account_number":...,"result":...,"checks":[...]}
nlohmann::ordered_json AccountCheckJson(const std::string& sortCode, const std::string& accountNumber,
                                        const AccountCheck& check);

// The payee account of payment `index` checked with `tables`: the warning
// when it fails, "" when it passes:
// "payment 3: sort code 12-34-56, account 12345678: invalid (MOD11)".
std::string AccountWarning(const CModulusTables& tables, std::size_t index, const std::string& sortCode,
                           const std::string& accountNumber);

}  // namespace paylode::cli
