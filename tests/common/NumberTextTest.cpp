// Numbers as text: the locale-free conversions against the C library's own
// in the "C" locale, and the amounts that the payment file, the statement
// reader and the batch reader write and read, unchanged when the process's
// C locale writes a decimal comma (as a host may set it).
#include "common/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "cli/BatchCsv.h"
#include "payments/PaymentRecords.h"
#include "statements/StatementValues.h"

namespace paylode {
namespace {

TEST(NumberText, WritesAsPrintfInTheCLocale) {
    constexpr auto kFixed = std::chars_format::fixed;
    constexpr auto kGeneral = std::chars_format::general;
    struct Row {
        double value;
        std::chars_format format;
        int precision;
    };
    const Row rows[] = {
        {1234.5, kFixed, 2},   {0.125, kFixed, 2},   {2.675, kFixed, 2},   {-0.001, kFixed, 2},
        {-0.0, kFixed, 2},     {99999999999.995, kFixed, 2},               {std::numeric_limits<double>::max(), kFixed, 2},
        {123.456, kGeneral, 15}, {1e-7, kGeneral, 15}, {1e20, kGeneral, 15}, {0.1, kGeneral, 15},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        char expected[400];
        std::snprintf(expected, sizeof expected, rows[i].format == kFixed ? "%.*f" : "%.*g", rows[i].precision,
                      rows[i].value);
        EXPECT_EQ(expected, NumberText(rows[i].value, rows[i].format, rows[i].precision)) << "row " << i;
    }
}

TEST(NumberText, ReadsAsStrtodInTheCLocale) {
    struct Row {
        const char* text;
        std::size_t used;  // 0: no number
    };
    const Row rows[] = {
        {"12.75", 5}, {" \t+3", 4}, {"-0.5", 4}, {"1e3", 3},   {".5", 2},     {"5.", 2},      {"12.75xyz", 5},
        {"1,5", 1},   {"abc", 0},   {"", 0},     {"inf", 0},   {"-nan", 0},   {"+-1", 0},     {"--1", 0},
        {"1e400", 0}, {"0x10", 1},  {"-", 0},    {".", 0},     {"1e", 1},     {"7e+2x", 4},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        double value = -1;
        EXPECT_EQ(rows[i].used, ReadNumber(rows[i].text, &value)) << "row " << i << ": " << rows[i].text;
        if (rows[i].used != 0 && rows[i].used != 1) {
            EXPECT_EQ(std::strtod(rows[i].text, nullptr), value) << "row " << i << ": " << rows[i].text;
        }
    }
}

// The process's C locale set to one that writes a decimal comma for the
// scope, as a host application may set it: the platform's name for it under
// Windows; natively, where such a locale is installed.
class DecimalCommaLocale {
public:
    DecimalCommaLocale() {
        for (const char* name : {"German_Germany.1252", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name) != nullptr) {
                char probe[16];
                std::snprintf(probe, sizeof probe, "%.1f", 1.5);
                if (std::string(probe) == "1,5") return;
            }
        }
        std::setlocale(LC_ALL, "C");
    }
    ~DecimalCommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool Active() const { return std::localeconv()->decimal_point[0] == ','; }
};

TEST(NumberText, AmountsAreTheSameUnderADecimalCommaLocale) {
    DecimalCommaLocale locale;
#ifdef _WIN32
    ASSERT_TRUE(locale.Active()) << "German_Germany.1252 is no C locale with a decimal comma here";
#else
    if (!locale.Active()) GTEST_SKIP() << "no C locale with a decimal comma is installed";
#endif
    EXPECT_EQ("1234.50", AmountField(1234.5));
    EXPECT_EQ("0.10", AmountField(0.1));
    EXPECT_EQ("12.75", NumberText(12.75, std::chars_format::general, 15));
    // Statement amounts: the short form, and the long and exponent forms
    // that the exact reading leaves to the general conversion.
    EXPECT_EQ(12.75, ParseAmount("12.75"));
    EXPECT_EQ(1234567.5, ParseAmount("1,234,567.50"));
    EXPECT_EQ(12345678901234567.0, ParseAmount("12345678901234567.0"));
    EXPECT_EQ(1275.0, ParseAmount("12.75e2"));
    std::vector<cli::BatchPayment> batch;
    std::string error;
    ASSERT_TRUE(cli::ReadBatchPayments("amount\n20.5\n", &batch, &error)) << error;
    ASSERT_EQ(1u, batch.size());
    EXPECT_EQ(20.5, batch[0].amount);
    EXPECT_FALSE(cli::ReadBatchPayments("amount\n\"20,5\"\n", &batch, &error));
}

}  // namespace
}  // namespace paylode
