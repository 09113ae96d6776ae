#include "payments/ModulusCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "common/FileSystem.h"

namespace paylode {
namespace {

// Positions in the fourteen digits: sort code u..z, account a..h.
constexpr int kA = 6, kB = 7, kC = 8, kG = 12, kH = 13;

// Exception 2: the weights for a euro account number (a not 0).
constexpr int kEuroWeights[14] = {0, 0, 1, 2, 5, 3, 6, 4, 8, 7, 10, 9, 3, 1};
constexpr int kEuroWeightsG9[14] = {0, 0, 0, 0, 0, 0, 0, 0, 8, 7, 10, 9, 3, 1};
// Exception 8 and exception 9: the sort codes checked in place of the real one.
constexpr std::uint32_t kException8SortCode = 90126;
constexpr std::uint32_t kEuroSortCode = 309634;

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::uint32_t SixDigits(const std::string& text) {
    std::uint32_t value = 0;
    for (char c : text) value = value * 10 + static_cast<std::uint32_t>(c - '0');
    return value;
}

void PutSortCode(std::uint32_t sortCode, int digits[14]) {
    for (int i = 5; i >= 0; --i) {
        digits[i] = static_cast<int>(sortCode % 10);
        sortCode /= 10;
    }
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    words.reserve(18);
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) words.emplace_back(line, start, i - start);
    }
    return words;
}

// Lines of a published file: CR LF or LF ends, numbered from 1.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool ParseInt(const std::string& word, long low, long high, int* value) {
    if (word.empty() || word.size() > 4) return false;
    std::size_t i = (word[0] == '-' || word[0] == '+') ? 1 : 0;
    if (i == word.size() || !AllDigits(word.substr(i))) return false;
    long parsed = std::strtol(word.c_str(), nullptr, 10);
    if (parsed < low || parsed > high) return false;
    *value = static_cast<int>(parsed);
    return true;
}

bool IsSortCodeWord(const std::string& word) { return word.size() == 6 && AllDigits(word); }

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

const char* AccountCheckResultText(AccountCheckResult result) {
    switch (result) {
        case AccountCheckResult::Valid:
            return "valid";
        case AccountCheckResult::Invalid:
            return "invalid";
        case AccountCheckResult::NotChecked:
            return "not checked";
        case AccountCheckResult::BadFormat:
            return "bad format";
    }
    return "not checked";
}

std::optional<CModulusTables> CModulusTables::Parse(const std::string& weightTable,
                                                    const std::string& substitutionTable,
                                                    std::string* error) {
    CModulusTables tables;
    const std::vector<std::string> weightLines = SplitLines(weightTable);
    for (std::size_t n = 0; n < weightLines.size(); ++n) {
        const std::vector<std::string> words = SplitWords(weightLines[n]);
        if (words.empty()) continue;
        const std::string where = "weight table line " + std::to_string(n + 1) + ": ";
        if (words.size() != 17 && words.size() != 18) {
            Fail(error, where + "expected two sort codes, a method, 14 weights and an optional exception");
            return std::nullopt;
        }
        Rule rule;
        rule.line = static_cast<std::uint32_t>(n + 1);
        if (!IsSortCodeWord(words[0]) || !IsSortCodeWord(words[1])) {
            Fail(error, where + "a sort code is not 6 digits");
            return std::nullopt;
        }
        rule.first = SixDigits(words[0]);
        rule.last = SixDigits(words[1]);
        if (rule.first > rule.last) {
            Fail(error, where + "the range ends before it starts");
            return std::nullopt;
        }
        if (words[2] == "MOD10") {
            rule.method = Method::Mod10;
        } else if (words[2] == "MOD11") {
            rule.method = Method::Mod11;
        } else if (words[2] == "DBLAL") {
            rule.method = Method::DoubleAlternate;
        } else {
            Fail(error, where + "unknown method \"" + words[2] + "\"");
            return std::nullopt;
        }
        for (int i = 0; i < 14; ++i) {
            if (!ParseInt(words[3 + i], -99, 999, &rule.weights[i])) {
                Fail(error, where + "weight " + std::to_string(i + 1) + " is not a number");
                return std::nullopt;
            }
        }
        // An exception this checker does not know would be checked wrongly:
        // the table is refused rather than used.
        if (words.size() == 18 && !ParseInt(words[17], 1, 14, &rule.exception)) {
            Fail(error, where + "unknown exception \"" + words[17] + "\"");
            return std::nullopt;
        }
        tables.m_rules.push_back(rule);
    }
    if (tables.m_rules.empty()) {
        Fail(error, "weight table: no sort code ranges");
        return std::nullopt;
    }
    std::stable_sort(tables.m_rules.begin(), tables.m_rules.end(),
                     [](const Rule& l, const Rule& r) { return l.first < r.first; });
    tables.m_reachEnd.reserve(tables.m_rules.size());
    std::uint32_t reach = 0;
    for (const Rule& rule : tables.m_rules) {
        reach = std::max(reach, rule.last);
        tables.m_reachEnd.push_back(reach);
    }

    const std::vector<std::string> substitutionLines = SplitLines(substitutionTable);
    for (std::size_t n = 0; n < substitutionLines.size(); ++n) {
        const std::vector<std::string> words = SplitWords(substitutionLines[n]);
        if (words.empty()) continue;
        if (words.size() != 2 || !IsSortCodeWord(words[0]) || !IsSortCodeWord(words[1])) {
            Fail(error, "substitution table line " + std::to_string(n + 1) +
                            ": expected two 6-digit sort codes");
            return std::nullopt;
        }
        tables.m_substitutes.emplace_back(SixDigits(words[0]), SixDigits(words[1]));
    }
    std::sort(tables.m_substitutes.begin(), tables.m_substitutes.end());
    for (std::size_t i = 1; i < tables.m_substitutes.size(); ++i) {
        if (tables.m_substitutes[i].first == tables.m_substitutes[i - 1].first &&
            tables.m_substitutes[i].second != tables.m_substitutes[i - 1].second) {
            Fail(error, "substitution table: sort code " + std::to_string(tables.m_substitutes[i].first) +
                            " has two substitutes");
            return std::nullopt;
        }
    }
    return tables;
}

std::optional<CModulusTables> CModulusTables::Load(const std::string& folder, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code failure;
    fs::directory_iterator entries(fs::u8path(folder), failure);
    if (failure) {
        Fail(error, "cannot read the folder " + folder + ": " + failure.message());
        return std::nullopt;
    }
    std::vector<fs::path> weightFiles, substitutionFiles;
    for (; entries != fs::directory_iterator(); entries.increment(failure)) {
        if (failure) break;
        std::string name = entries->path().filename().u8string();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) continue;
        if (name.rfind("valacdos", 0) == 0) weightFiles.push_back(entries->path());
        if (name.rfind("scsubtab", 0) == 0) substitutionFiles.push_back(entries->path());
    }
    if (failure) {
        Fail(error, "cannot read the folder " + folder + ": " + failure.message());
        return std::nullopt;
    }
    if (weightFiles.size() != 1 || substitutionFiles.size() != 1) {
        Fail(error, folder + " must hold exactly one valacdos*.txt and one scsubtab*.txt");
        return std::nullopt;
    }
    std::string why;
    const std::optional<std::string> weights = ReadWholeFile(weightFiles[0], &why);
    const std::optional<std::string> substitutes = weights ? ReadWholeFile(substitutionFiles[0], &why) : std::nullopt;
    if (!weights || !substitutes) {
        Fail(error, (weights ? substitutionFiles[0] : weightFiles[0]).u8string() + " " + why);
        return std::nullopt;
    }
    std::string parseError;
    std::optional<CModulusTables> tables = Parse(*weights, *substitutes, &parseError);
    if (!tables) Fail(error, folder + ": " + parseError);
    return tables;
}

std::size_t CModulusTables::RulesFor(std::uint32_t sortCode, const Rule* found[2]) const {
    // Rules starting at or before the sort code; walking back stops once no
    // earlier range reaches it.
    std::size_t i = static_cast<std::size_t>(
        std::upper_bound(m_rules.begin(), m_rules.end(), sortCode,
                         [](std::uint32_t code, const Rule& rule) { return code < rule.first; }) -
        m_rules.begin());
    const Rule* matches[2] = {nullptr, nullptr};
    std::size_t count = 0;
    while (i > 0 && m_reachEnd[i - 1] >= sortCode) {
        --i;
        const Rule& rule = m_rules[i];
        if (rule.last < sortCode) continue;
        // Keep the two earliest in table order.
        if (count < 2) {
            matches[count++] = &rule;
        } else {
            const std::size_t later = matches[0]->line > matches[1]->line ? 0 : 1;
            if (rule.line < matches[later]->line) matches[later] = &rule;
        }
    }
    if (count == 2 && matches[0]->line > matches[1]->line) std::swap(matches[0], matches[1]);
    found[0] = matches[0];
    found[1] = matches[1];
    return count;
}

// One rule's check on the account's 14 digits. It stays one function: the
// published exceptions change the digits or the weights before the sum,
// the total after it, or the remainder wanted at its end, and the
// calculation reads from the digits to the verdict in one place only so.
bool CModulusTables::RunRule(const Rule& rule, const int accountDigits[14]) const {
    int digits[14];
    std::copy(accountDigits, accountDigits + 14, digits);
    int weights[14];
    std::copy(rule.weights, rule.weights + 14, weights);
    const int a = digits[kA], b = digits[kB], g = digits[kG], h = digits[kH];

    switch (rule.exception) {
        case 2:
            if (a != 0) {
                const int* euro = g == 9 ? kEuroWeightsG9 : kEuroWeights;
                std::copy(euro, euro + 14, weights);
            }
            break;
        case 5: {
            std::uint32_t sortCode = 0;
            for (int i = 0; i < 6; ++i) sortCode = sortCode * 10 + static_cast<std::uint32_t>(digits[i]);
            auto it = std::lower_bound(m_substitutes.begin(), m_substitutes.end(),
                                       std::make_pair(sortCode, std::uint32_t{0}));
            if (it != m_substitutes.end() && it->first == sortCode) PutSortCode(it->second, digits);
            break;
        }
        case 7:
            if (g == 9) std::fill(weights, weights + 8, 0);
            break;
        case 8:
            PutSortCode(kException8SortCode, digits);
            break;
        case 9:
            PutSortCode(kEuroSortCode, digits);
            break;
        case 10:
            if (((a == 0 && b == 9) || (a == 9 && b == 9)) && g == 9) std::fill(weights, weights + 8, 0);
            break;
        default:
            break;
    }

    long total = 0;
    for (int i = 0; i < 14; ++i) {
        const long product = static_cast<long>(digits[i]) * weights[i];
        if (rule.method == Method::DoubleAlternate) {
            // The digits of each product are added, not the product.
            long magnitude = product < 0 ? -product : product, sum = 0;
            for (; magnitude > 0; magnitude /= 10) sum += magnitude % 10;
            total += product < 0 ? -sum : sum;
        } else {
            total += product;
        }
    }
    if (rule.exception == 1) total += 27;

    const long modulus = rule.method == Method::Mod11 ? 11 : 10;
    const long remainder = ((total % modulus) + modulus) % modulus;
    if (rule.exception == 4) return remainder == g * 10 + h;
    if (rule.exception == 5) {
        // The check digit is g for the standard check, h for the double alternate.
        const int checkDigit = rule.method == Method::DoubleAlternate ? h : g;
        if (remainder == 0) return checkDigit == 0;
        if (modulus == 11 && remainder == 1) return false;
        return modulus - remainder == checkDigit;
    }
    return remainder == 0;
}

AccountCheck CModulusTables::CheckDigits(const int digits[14]) const {
    AccountCheck outcome;
    std::uint32_t sortCode = 0;
    for (int i = 0; i < 6; ++i) sortCode = sortCode * 10 + static_cast<std::uint32_t>(digits[i]);
    const Rule* rules[2];
    const std::size_t count = RulesFor(sortCode, rules);
    if (count == 0) return outcome;  // no range: cannot be checked

    const int a = digits[kA], c = digits[kC], g = digits[kG], h = digits[kH];
    // Exception 6: a foreign currency account cannot be checked.
    for (std::size_t i = 0; i < count; ++i) {
        if (rules[i]->exception == 6 && a >= 4 && a <= 8 && g == h) return outcome;
    }

    auto methodName = [](Method method) {
        return method == Method::Mod10 ? "MOD10" : method == Method::Mod11 ? "MOD11" : "DBLAL";
    };
    auto apply = [&](const Rule& rule, const int* checked) {
        const bool passed = RunRule(rule, checked);
        outcome.checks.push_back(AppliedCheck{methodName(rule.method), rule.exception, passed});
        return passed;
    };
    auto finish = [&](bool valid) {
        outcome.result = valid ? AccountCheckResult::Valid : AccountCheckResult::Invalid;
        return outcome;
    };
    // Exception 3: no check of this rule when c is 6 or 9.
    auto skipped = [&](const Rule& rule) { return rule.exception == 3 && (c == 6 || c == 9); };

    const Rule& first = *rules[0];
    const Rule* second = count > 1 ? rules[1] : nullptr;

    bool firstPassed = skipped(first) || apply(first, digits);
    if (!firstPassed && first.exception == 14) {
        // A number whose last digit is 0, 1 or 9 may be the account shifted
        // one place left: checked again with that digit dropped and a zero in front.
        if (h == 0 || h == 1 || h == 9) {
            int shifted[14];
            std::copy(digits, digits + 6, shifted);
            shifted[kA] = 0;
            std::copy(digits + kA, digits + kH, shifted + kA + 1);
            firstPassed = apply(first, shifted);
        } else {
            outcome.checks.push_back(AppliedCheck{methodName(first.method), 14, false});
        }
    }
    if (!second) return finish(firstPassed);

    // Pairs where either check passing is enough: a sterling or euro
    // account (2 and 9), and exceptions 10 and 11, 12 and 13.
    const bool eitherPasses = first.exception == 2 || first.exception == 10 || first.exception == 12 ||
                              second->exception == 9 || second->exception == 11 || second->exception == 13;
    if (eitherPasses) {
        if (firstPassed) return finish(true);
        return finish(skipped(*second) || apply(*second, digits));
    }
    // Exception 5 applies both checks, each with its own check digit.
    if (!firstPassed && first.exception != 5) return finish(false);
    const bool secondPassed = skipped(*second) || apply(*second, digits);
    return finish(firstPassed && secondPassed);
}

AccountCheck CModulusTables::Check(const std::string& sortCode, const std::string& accountNumber) const {
    AccountCheck badFormat;
    badFormat.result = AccountCheckResult::BadFormat;

    std::string code;
    for (char ch : sortCode) {
        if (ch == '-' || ch == ' ') continue;
        code.push_back(ch);
    }
    if (code.size() != 6 || !AllDigits(code)) return badFormat;

    // The account numbers, as eight digits, that this input may stand for.
    std::vector<std::string> readings;
    std::string account = accountNumber;
    if (account.size() == 11 && account[2] == '-') {
        // Ten digits written "NN-NNNNNNNN": the last eight are the account.
        account.erase(2, 1);
        if (!AllDigits(account)) return badFormat;
        readings.push_back(account.substr(2));
    } else {
        if (!AllDigits(account)) return badFormat;
        switch (account.size()) {
            case 6:
                readings.push_back("00" + account);
                break;
            case 7:
                readings.push_back("0" + account);
                break;
            case 8:
                readings.push_back(account);
                break;
            case 9:
                // The first digit belongs to the sort code, in place of its last.
                code[5] = account[0];
                readings.push_back(account.substr(1));
                break;
            case 10:
                readings.push_back(account.substr(2));
                readings.push_back(account.substr(0, 8));
                break;
            default:
                return badFormat;
        }
    }

    AccountCheck chosen;
    bool haveChosen = false;
    for (const std::string& reading : readings) {
        int digits[14];
        for (int i = 0; i < 6; ++i) digits[i] = code[i] - '0';
        for (int i = 0; i < 8; ++i) digits[6 + i] = reading[i] - '0';
        AccountCheck outcome = CheckDigits(digits);
        // Valid on any reading; otherwise not checked before invalid.
        auto rank = [](AccountCheckResult result) {
            return result == AccountCheckResult::Valid ? 0 : result == AccountCheckResult::NotChecked ? 1 : 2;
        };
        if (!haveChosen || rank(outcome.result) < rank(chosen.result)) {
            chosen = std::move(outcome);
            haveChosen = true;
        }
    }
    return chosen;
}

}  // namespace paylode
