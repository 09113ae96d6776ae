// The batch CSV reader and the statuses line writer that the tool and the
// Windows host program share: the same batches give the same payments, or the
// same message at the same line, in every build.
#include "cli/BatchCsv.h"

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

// Beside the payment's fields, where argument lookup finds them.
namespace paylode {

using cli::BatchPayment;

bool operator==(const BatchPayment& a, const BatchPayment& b) {
    const auto fields = [](const BatchPayment& p) {
        return std::tie(p.amount, p.status, p.payerSortCode, p.payerAccountNumber, p.payeeBACSReference,
                        p.payeeSortCode, p.payeeAccountNumber, p.payeeAccountName, p.payeeRollNumber, p.details);
    };
    return fields(a) == fields(b);
}

void PrintTo(const BatchPayment& p, std::ostream* out) {
    const auto text = [out](const WideString& value) {
        *out << " \"";
        for (WideChar unit : value) {
            if (unit >= 0x20 && unit < 0x7F) {
                *out << static_cast<char>(unit);
            } else {
                *out << "\\u" << std::hex << static_cast<unsigned>(unit) << std::dec;
            }
        }
        *out << '"';
    };
    *out << "{" << p.amount << " " << p.status;
    for (const WideString* value :
         {&p.payerSortCode, &p.payerAccountNumber, &p.payeeBACSReference, &p.payeeSortCode, &p.payeeAccountNumber,
          &p.payeeAccountName, &p.payeeRollNumber, &p.details}) {
        text(*value);
    }
    *out << "}";
}

}  // namespace paylode

namespace paylode::cli {

using namespace std::string_literals;

namespace {

BatchPayment Payment(double amount, long status, WideString payeeAccountName, WideString details = PAYLODE_WIDE(""),
                     WideString payeeSortCode = PAYLODE_WIDE("")) {
    BatchPayment payment;
    payment.amount = amount;
    payment.status = status;
    payment.payeeAccountName = std::move(payeeAccountName);
    payment.details = std::move(details);
    payment.payeeSortCode = std::move(payeeSortCode);
    return payment;
}

TEST(BatchCsv, ReadsTheHostsPaymentsOrNamesTheLine) {
    const std::string kBom = "\xEF\xBB\xBF";
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<BatchPayment> payments;  // when read
        std::string error;                   // otherwise
    };
    const Case cases[] = {
        {"quoted commas, quotes and line breaks after a byte-order mark",
         kBom + "payee_account_name,amount,details,status,payee_sort_code\r\n"
                "\"O'Brien & Sons, Ltd\",1234.5,\"two\r\nlines\",0,12-34-56\r\n"
                "\"Smith \"\"Joinery\"\"\",-0.25,,1,\r\n"
                "\r\n"
                "Caf\xC3\xA9 \xC5\x81\xC3\xB3\x64\xC5\xBA \xF0\x9F\x92\xB7,,\"a\0b\",,\" 65 \"\n"s,
         {Payment(1234.5, 0, PAYLODE_WIDE("O'Brien & Sons, Ltd"), PAYLODE_WIDE("two\r\nlines"),
                  PAYLODE_WIDE("12-34-56")),
          Payment(-0.25, 1, PAYLODE_WIDE("Smith \"Joinery\"")),
          Payment(0, 0, PAYLODE_WIDE("Caf\u00e9 \u0141\u00f3d\u017a \U0001F4B7"), PAYLODE_WIDE("a"),
                  PAYLODE_WIDE(" 65 "))},
         ""},
        {"a header and no payments", "amount,details\n", {}, ""},
        {"nothing at all", "", {}, "line 1: no header row naming the columns"},
        {"a field that is not UTF-8", "amount,details\n1,ok\n2,caf\xE9\n", {}, "line 3: text that is not UTF-8"},
        {"an overlong form", "details\n\xC0\xAF\n", {}, "line 2: text that is not UTF-8"},
        {"a short row", "amount,details\n1\n", {}, "line 2: 1 fields where the header names 2"},
        {"a stray quote", "amount,details\n1,a\"b\n", {}, "line 2: quote inside an unquoted field"},
        {"text after a closing quote", "details\n\"a\"b\n", {}, "line 2: unexpected character after a closing quote"},
        {"a quote never closed", "amount,details\n1,ok\n2,\"not\nclosed\n", {}, "line 3: quoted field is not closed"},
        {"a bare carriage return", "amount\r1\r\n", {}, "line 1: carriage return without a line feed outside quotes"},
        {"an unknown column", kBom + "amount,payee_name\n1,x\n", {}, "line 1: unknown column \"payee_name\""},
        {"a column named twice", "details,amount,details\n", {}, "line 1: column \"details\" named twice"},
        {"lines counted through quoted line breaks and empty lines",
         "details,amount\n\"a\nb\",1\n\nx,1e999\n",
         {},
         "line 5: amount \"1e999\" is not a number"},
        {"a status beyond 32 bits", "status\n2147483648\n", {}, "line 2: status \"2147483648\" is not a whole number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BatchPayment> payments{Payment(7, 7, PAYLODE_WIDE("kept"))};
        std::string error;
        const bool read = ReadBatchPayments(c.bytes, &payments, &error);
        if (c.error.empty()) {
            EXPECT_TRUE(read) << error;
            EXPECT_EQ(c.payments, payments);
        } else {
            EXPECT_FALSE(read);
            EXPECT_EQ(c.error, error);
            EXPECT_EQ(std::vector<BatchPayment>{Payment(7, 7, PAYLODE_WIDE("kept"))}, payments)
                << "changed by a failed read";
        }
    }
}

TEST(BatchCsv, GivesTheComponentItsAnsiText) {
    std::vector<CPaymentValues> payments;
    std::string error;
    ASSERT_TRUE(ReadPaymentBatch("payee_account_name,payee_roll_number,amount\n\"Caf\xC3\xA9, Ltd\",\"R\0-7\",2\n"s,
                                 &payments, &error))
        << error;
    ASSERT_EQ(1u, payments.size());
    EXPECT_STREQ("Caf\xE9, Ltd", payments[0].payeeAccountName.GetString());
    EXPECT_STREQ("R", payments[0].payeeRollNumber.GetString());
    EXPECT_EQ(2.0, payments[0].amount);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

TEST(BatchCsv, WritesStatusLinesQuotingOnlyWhatNeedsIt) {
    struct Case {
        std::size_t index;
        long code;
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        {0, 0, "Payment processed successfully.", "0,0,Payment processed successfully.\n"},
        {12, -3, "Sort code, account number", "12,-3,\"Sort code, account number\"\n"},
        {1, 5, "The \"payee\"", "1,5,\"The \"\"payee\"\"\"\n"},
        {2, 6, "two\r\nlines", "2,6,\"two\r\nlines\"\n"},
        {3, 7, "one\nline feed", "3,7,\"one\nline feed\"\n"},
        {4, 2147483647, nullptr, "4,2147483647,\n"},
        {5, 8, "", "5,8,\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::unique_ptr<std::FILE, FileCloser> file{std::tmpfile()};
        ASSERT_TRUE(file);
        WriteStatusLine(file.get(), c.index, c.code, c.text);
        std::rewind(file.get());
        std::string written;
        for (int byte; (byte = std::fgetc(file.get())) != EOF;) written += static_cast<char>(byte);
        EXPECT_EQ(c.line, written);
    }
}

}  // namespace
}  // namespace paylode::cli
