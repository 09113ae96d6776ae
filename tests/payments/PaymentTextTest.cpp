// The payment file's character filters and the status texts.
#include "payments/PaymentText.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <string>

#include "common/HResult.h"
#include "payments/StatusTexts.h"

namespace paylode {
namespace {

TEST(PaymentText, DigitsOf) {
    const char* rows[][2] = {
        {"12-34-56", "123456"}, {"", ""}, {"ab", ""}, {" 1 2\t3", "123"}, {"\xB9\xB2", ""},  // superscripts stay out
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(rows[i][1], DigitsOf(rows[i][0]).GetString());
    }
}

TEST(PaymentText, Sanitise) {
    struct Row {
        const char* text;
        bool keepSlash;
        const char* expected;
    };
    // clang-format off
    const Row rows[] = {
        {"O'Brien & Sons, Ltd.", true, "OBRIEN & SONS LTD."},
        {"abc-12 & co.", false, "ABC-12 & CO."},
        {"a/b", true, "A/B"},
        {"a/b", false, "AB"},
        {"Caf\xE9 M\xFCller", true, "CAF MLLER"},  // accented letters are not the bank's
        {"?x?", true, "X"},                        // what the code page could not hold
        {"tab\there;\"q\"\r\n", true, "TABHEREQ"},
        {"zZ09 .-&", true, "ZZ09 .-&"},
        {"", true, ""},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(rows[i].expected, Sanitise(rows[i].text, rows[i].keepSlash).GetString());
    }
}

TEST(PaymentText, NullTextIsAnInvalidArgument) {
    EXPECT_THROW(DigitsOf(nullptr), CFailure);
    EXPECT_THROW(Sanitise(nullptr), CFailure);
}

TEST(StatusTexts, CodesWithAndWithoutText) {
    EXPECT_STREQ("Payment processed successfully.", PaymentStatusText(0));
    EXPECT_STREQ("Invalid Payee Bank Account Number: the account number must be 8 digits and a numeric value.",
                 PaymentStatusText(29));
    for (long code = 1; code <= 19; ++code) EXPECT_EQ(nullptr, PaymentStatusText(code)) << code;
    for (long code = 20; code <= 35; ++code) EXPECT_NE(nullptr, PaymentStatusText(code)) << code;
    EXPECT_EQ(nullptr, PaymentStatusText(36));
    EXPECT_EQ(nullptr, PaymentStatusText(40));
    EXPECT_EQ(nullptr, PaymentStatusText(-1));
}

}  // namespace
}  // namespace paylode
