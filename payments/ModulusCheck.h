/*
 * UK sort code and account number modulus checking: the published weight
 * table (a MOD10, MOD11 or DBLAL check with fourteen weights per sort code
 * range, one or two checks per range, exceptions 1 to 14) and the sort code
 * substitution table, read from their published text files
 * (third_party/modulus), and the check of one sort code and account number
 * against them.
 *
 * A passed check means the account number is possible at that sort code,
 * not that the account exists. A sort code in no range, and a foreign
 * currency account at a range that holds them (exception 6), cannot be
 * checked: NotChecked, never Invalid.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace paylode {

enum class AccountCheckResult { Valid, Invalid, NotChecked, BadFormat };

// "valid", "invalid", "not checked", "bad format"
const char* AccountCheckResultText(AccountCheckResult result);

struct AppliedCheck {
    std::string method;  // "MOD10", "MOD11", "DBLAL"
    int exception = 0;   // 0 for none
    bool passed = false;
};

struct AccountCheck {
    AccountCheckResult result = AccountCheckResult::NotChecked;
    std::vector<AppliedCheck> checks;  // each check applied, in order
};

class CModulusTables {
public:
    // Parses the weight table and the substitution table from their
    // published text; nullopt and `error` (naming the line) when either is
    // unusable.
    static std::optional<CModulusTables> Parse(const std::string& weightTable,
                                               const std::string& substitutionTable,
                                               std::string* error);

    // Reads both from a folder holding the published files (one
    // valacdos*.txt and one scsubtab*.txt, as in third_party/modulus);
    // nullopt and `error` when unreadable.
    static std::optional<CModulusTables> Load(const std::string& folder, std::string* error);

    // Checks a sort code (6 digits, "-" and spaces allowed) and an account
    // number. Account numbers of 6 and 7 digits are padded with leading
    // zeros; 9 digits: the first replaces the sort code's last digit and the
    // last eight are the account; 10 digits: "NN-NNNNNNNN" uses the last
    // eight, otherwise the last eight and the first eight are both tried
    // (the two ways banks with ten-digit numbers shorten them). Anything
    // else, or a non-digit, is BadFormat.
    AccountCheck Check(const std::string& sortCode, const std::string& accountNumber) const;

private:
    enum class Method : std::uint8_t { Mod10, Mod11, DoubleAlternate };

    struct Rule {
        std::uint32_t first = 0;  // sort code range, inclusive
        std::uint32_t last = 0;
        Method method = Method::Mod11;
        int weights[14] = {};
        int exception = 0;
        std::uint32_t line = 0;  // order in the table
    };

    CModulusTables() = default;

    // The rules whose range holds the sort code, in table order (at most two).
    std::size_t RulesFor(std::uint32_t sortCode, const Rule* found[2]) const;
    AccountCheck CheckDigits(const int digits[14]) const;
    bool RunRule(const Rule& rule, const int digits[14]) const;

    std::vector<Rule> m_rules;              // sorted by range start, then table order
    std::vector<std::uint32_t> m_reachEnd;  // highest range end among m_rules[0..i]
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_substitutes;  // sorted by original
};

}  // namespace paylode
