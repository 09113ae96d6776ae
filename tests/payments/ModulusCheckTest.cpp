// UK modulus checking against the published tables in third_party/modulus:
// the published worked examples for every method and exception, the
// non-standard account lengths, input that cannot be checked, and tables
// that must be refused.
#include "payments/ModulusCheck.h"

#include <gtest/gtest.h>

#include <string>

namespace paylode {
namespace {

const CModulusTables& Tables() {
    static const CModulusTables tables = [] {
        std::string error;
        std::optional<CModulusTables> loaded = CModulusTables::Load(PAYLODE_MODULUS_TABLES_DIR, &error);
        if (!loaded) {
            ADD_FAILURE() << error;
            loaded = CModulusTables::Parse("000000 000000 MOD10 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "", &error);
        }
        return *loaded;
    }();
    return tables;
}

TEST(ModulusCheck, PublishedExamplesAndEdgeCases) {
    constexpr auto V = AccountCheckResult::Valid;
    constexpr auto I = AccountCheckResult::Invalid;
    constexpr auto N = AccountCheckResult::NotChecked;
    constexpr auto F = AccountCheckResult::BadFormat;
    struct Row {
        const char* sortCode;
        const char* account;
        AccountCheckResult expected;
        int exception;  // the exception the row exercises, 0 for none
        const char* what;
    };
    // clang-format off
    const Row rows[] = {
        // The published worked examples, in their order.
        {"089999", "66374958", V, 0,  "1 passes MOD10"},
        {"107999", "88837491", V, 0,  "2 passes MOD11"},
        {"202959", "63748472", V, 0,  "3 passes MOD11 and DBLAL"},
        {"871427", "46238510", V, 10, "4 first passes, second fails"},
        {"872427", "46238510", V, 10, "5 first fails, second passes"},
        {"871427", "09123496", V, 10, "6 ab=09, g=9"},
        {"871427", "99123496", V, 10, "7 ab=99, g=9"},
        {"820000", "73688637", V, 3,  "8 c=6: second check ignored, range start"},
        {"827999", "73988638", V, 3,  "9 c=9: second check ignored, range end"},
        {"827101", "28748352", V, 3,  "10 both checks pass"},
        {"134020", "63849203", V, 4,  "11 remainder equals gh"},
        {"118765", "64371389", V, 1,  "12 27 added to the total"},
        // Published as acceptable: a foreign currency account cannot be checked.
        {"200915", "41011166", N, 6,  "13 foreign currency account"},
        {"938611", "07806039", V, 5,  "14 passes"},
        {"938600", "42368003", V, 5,  "15 passes with the substituted sort code"},
        {"938063", "55065200", V, 5,  "16 both remainders 0"},
        {"772798", "99345694", V, 7,  "17 g=9 zeroises u-b"},
        {"086090", "06774744", V, 8,  "18 sort code 090126"},
        {"309070", "02355688", V, 2,  "19 first check passes"},
        {"309070", "12345668", V, 9,  "20 euro account: second check passes"},
        {"309070", "12345677", V, 2,  "21 a<>0, g<>9"},
        {"309070", "99345694", V, 2,  "22 a<>0, g=9"},
        {"938063", "15764273", I, 5,  "23 first check digit right, second wrong"},
        {"938063", "15764264", I, 5,  "24 first check digit wrong, second right"},
        {"938063", "15763217", I, 5,  "25 remainder 1"},
        {"118765", "64371388", I, 1,  "26 fails DBLAL"},
        {"203099", "66831036", I, 0,  "27 passes MOD11, fails DBLAL"},
        {"203099", "58716970", I, 0,  "28 fails MOD11, passes DBLAL"},
        {"089999", "66374959", I, 0,  "29 fails MOD10"},
        {"107999", "88837493", I, 0,  "30 fails MOD11"},
        {"074456", "12345112", V, 12, "31 passes MOD11, would fail MOD10"},
        {"070116", "34012583", V, 12, "32 passes both"},
        {"074456", "11104102", V, 13, "33 fails MOD11, passes MOD10"},
        {"180002", "00000190", V, 14, "34 passes shifted"},
        // The published examples of exception 14 and further hard cases.
        {"180002", "98093517", V, 14, "passes the first check"},
        {"180002", "09747109", V, 14, "passes unshifted with h=9"},
        {"180002", "12345678", I, 14, "h not 0, 1 or 9"},
        {"180002", "00000180", I, 14, "shifted account fails too"},
        {"938076", "19304005", V, 5,  "no substitute for the sort code"},
        {"938181", "49997143", V, 5,  "no substitute for the sort code"},
        {"200915", "41011167", I, 6,  "g<>h: an ordinary account, checked"},
        {"200915", "31011166", I, 6,  "a=3: not foreign currency, checked"},
        // Sort code and account forms.
        {"08-99-99", "66374958", V, 0, "sort code with hyphens"},
        {"08 99 99", "66374958", V, 0, "sort code with spaces"},
        {"999999", "66374958", N, 0, "sort code in no range"},
        {"000000", "12345678", N, 0, "sort code below every range"},
        {"938611", "7806039",  V, 5, "7 digits: one zero in front"},
        {"089999", "6637495",  I, 0, "7 digits padded is a different account"},
        {"180002", "000190",   V, 14, "6 digits: two zeros in front"},
        {"089990", "966374958", V, 0, "9 digits: first digit ends the sort code"},
        {"089990", "966374959", I, 0, "9 digits: failing"},
        {"089999", "0066374958", V, 0, "10 digits: the last eight"},
        {"089999", "6637495800", V, 0, "10 digits: the first eight"},
        {"089999", "1166374959", I, 0, "10 digits: neither reading passes"},
        {"089999", "00-66374958", V, 0, "10 digits with a hyphen: the last eight"},
        {"089999", "66-37495800", I, 0, "10 digits with a hyphen: never the first eight"},
        {"08999",  "66374958", F, 0, "sort code of 5 digits"},
        {"0899999", "66374958", F, 0, "sort code of 7 digits"},
        {"08999A", "66374958", F, 0, "letter in the sort code"},
        {"08/99/99", "66374958", F, 0, "slashes in the sort code"},
        {"089999", "6637495A", F, 0, "letter in the account"},
        {"089999", "12345", F, 0, "account of 5 digits"},
        {"089999", "12345678901", F, 0, "account of 11 digits"},
        {"089999", "6637 4958", F, 0, "space in the account"},
        {"089999", "-66374958", F, 0, "sign in the account"},
        {"089999", "", F, 0, "empty account"},
        {"", "66374958", F, 0, "empty sort code"},
    };
    // clang-format on
    for (const Row& row : rows) {
        const AccountCheck outcome = Tables().Check(row.sortCode, row.account);
        EXPECT_EQ(AccountCheckResultText(outcome.result), std::string(AccountCheckResultText(row.expected)))
            << row.sortCode << " " << row.account << ": " << row.what;
        // Exception 3 shows as a check left out, exception 6 as no check at all.
        bool exceptionApplied = row.exception == 0 || row.exception == 3 || row.expected == N;
        for (const AppliedCheck& check : outcome.checks) {
            exceptionApplied = exceptionApplied || check.exception == row.exception;
        }
        EXPECT_TRUE(exceptionApplied) << row.sortCode << " " << row.account << ": exception " << row.exception
                                      << " not applied";
        if (row.expected == V || row.expected == I) {
            // Valid ends on a passed check; invalid has a failed one.
            ASSERT_FALSE(outcome.checks.empty()) << row.sortCode << " " << row.account;
            bool anyFailed = false;
            for (const AppliedCheck& check : outcome.checks) anyFailed = anyFailed || !check.passed;
            if (row.expected == V) {
                EXPECT_TRUE(outcome.checks.back().passed) << row.sortCode << " " << row.account;
            }
            if (row.expected == I) {
                EXPECT_TRUE(anyFailed) << row.sortCode << " " << row.account;
            }
        } else {
            EXPECT_TRUE(outcome.checks.empty()) << row.sortCode << " " << row.account;
        }
    }
}

TEST(ModulusCheck, AppliedChecksInOrder) {
    struct Row {
        const char* sortCode;
        const char* account;
        std::string checks;  // method/exception/passed, in order
    };
    const Row rows[] = {
        {"202959", "63748472", "MOD11/6/1 DBLAL/6/1"},
        {"203099", "58716970", "MOD11/6/0"},                     // second check not run
        {"820000", "73688637", "MOD11/0/1"},                     // exception 3 skips DBLAL
        {"309070", "12345668", "MOD11/2/0 MOD11/9/1"},
        {"309070", "02355688", "MOD11/2/1"},                     // sterling: no euro check
        {"938063", "15764264", "MOD11/5/0 DBLAL/5/1"},           // both checks, each recorded
        {"180002", "00000190", "MOD11/14/0 MOD11/14/1"},
    };
    for (const Row& row : rows) {
        std::string text;
        for (const AppliedCheck& check : Tables().Check(row.sortCode, row.account).checks) {
            text += (text.empty() ? "" : " ") + check.method + "/" + std::to_string(check.exception) + "/" +
                    (check.passed ? "1" : "0");
        }
        EXPECT_EQ(text, row.checks) << row.sortCode << " " << row.account;
    }
}

TEST(ModulusCheck, UnusableTablesAreRefusedNamingTheLine) {
    const std::string good = "010004 016715 MOD11    0    0    0    0    0    0    8    7    6    5    4    3    2    1\r\n";
    struct Row {
        std::string weights;
        std::string substitutes;
        const char* error;  // part of the message
    };
    const Row rows[] = {
        {"", "", "no sort code ranges"},
        {good + "040003 040003 MOD12 2 1 2 1 2 1 8 7 6 5 4 3 2 1\r\n", "", "line 2: unknown method"},
        {good + "040003 040003 DBLAL 2 1 2 1 2 1 8 7 6 5 4 3 2\r\n", "", "line 2: expected"},
        {good + "\r\n040003 040003 DBLAL 2 1 2 1 2 1 8 7 6 5 4 3 2 X\r\n", "", "line 3: weight 14"},
        {good + "040003 040003 DBLAL 2 1 2 1 2 1 8 7 6 5 4 3 2 1 15\r\n", "", "line 2: unknown exception"},
        {good + "04003 040003 DBLAL 2 1 2 1 2 1 8 7 6 5 4 3 2 1\r\n", "", "line 2: a sort code"},
        {good + "040009 040003 DBLAL 2 1 2 1 2 1 8 7 6 5 4 3 2 1\r\n", "", "line 2: the range ends"},
        {good, "938173 938017\r\n938289\r\n", "substitution table line 2"},
        {good, "938173 938017\r\n938173 938018\r\n", "two substitutes"},
    };
    for (const Row& row : rows) {
        std::string error;
        EXPECT_FALSE(CModulusTables::Parse(row.weights, row.substitutes, &error));
        EXPECT_NE(error.find(row.error), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(CModulusTables::Load(std::string(PAYLODE_MODULUS_TABLES_DIR) + "/missing", &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace paylode
