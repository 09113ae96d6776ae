// Which statement lines belong to the host's account, and the transaction
// each becomes.
#include "statements/StatementTransaction.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>

namespace paylode {
namespace {

TEST(StatementTransaction, FromRecord) {
    struct Row {
        const char* type;
        double debit, credit;
        int debitFlag;
        const char* narrative1;
        const char* narrative2;
        int expectedType;
        double amount;
        const char* reference;
        const char* description;
    };
    // clang-format off
    const Row rows[] = {
        {"DD", 12.5, 0, 1, "A", "B", 0, 12.5, "DD", "A B"},
        {"BGC", 0, 1000, 0, "SALARY", "", 1, 1000, "BGC", "SALARY"},
        {"DD", 0, 0, 0, "", "", 1, 0, "DD", ""},  // neither amount: a credit of 0.0
        {"CHQ", 250, 0, 1, "100234", "SMITH", 0, 250, "100234", "CHQ 100234 SMITH"},
        {"chq", 250, 0, 1, "100234", "SMITH", 0, 250, "chq", "100234 SMITH"},
        {" CH", 250, 0, 1, "100234", "", 0, 250, " CH", "100234"},
        {"CHQ", 0, 5, 0, "", "X", 1, 5, "", "CHQ  X"},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CTransactionRecord record;
        record.Type = rows[i].type;
        record.Debit = rows[i].debit;
        record.Credit = rows[i].credit;
        record.DebitFlag = rows[i].debitFlag;
        record.Narrative1 = rows[i].narrative1;
        record.Narrative2 = rows[i].narrative2;
        record.Date = 38749;
        const StatementTransaction transaction = TransactionFromRecord(record, static_cast<int>(i) + 1);
        EXPECT_EQ(static_cast<int>(i) + 1, transaction.ID);
        EXPECT_EQ(38749, transaction.Date);
        EXPECT_EQ(rows[i].expectedType, transaction.Type);
        EXPECT_EQ(rows[i].amount, transaction.Amount);
        EXPECT_STREQ(rows[i].reference, transaction.Reference);
        EXPECT_STREQ(rows[i].description, transaction.Description);
    }
}

TEST(StatementTransaction, AccountMatching) {
    struct Row {
        const char* hostSortCode;
        const char* hostAccount;
        const char* lineSortCode;
        const char* lineAccount;
        bool matches;
    };
    // clang-format off
    const Row rows[] = {
        {"123456", "12345678", "123456", "12345678", true},
        {"12-34-56", "12345678", "123456", "12345678", true},
        {" 12 34 56 ", "12345678", "123456", "12345678", true},
        {"12-34-56", "12345678", "12-34-", "12345678", false},  // a line's punctuation stays
        {"123456", "12345678", "123456", "12345679", false},
        {"123456", "1234567A", "123456", "1234567a", false},   // case counts
        {"123456", "12345678 ", "123456", "12345678", false},  // so do spaces
        {"", "", "", "", true},                               // nothing known matches empty lines
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        StatementAccount account;
        account.SetSortCode(rows[i].hostSortCode);
        account.SetAccountNumber(rows[i].hostAccount);
        CTransactionRecord record;
        record.SortCode = rows[i].lineSortCode;
        record.AccountNumber = rows[i].lineAccount;
        EXPECT_EQ(rows[i].matches, account.Matches(record));
    }
}

TEST(StatementTransaction, HostTextsAreCut) {
    StatementAccount account;
    account.SetSortCode(CString(std::string(31, '-').c_str()) + "99");
    EXPECT_STREQ("", account.AccountSortCode) << "only the first 31 characters are taken";
    account.SetAccountNumber(std::string(40, '7').c_str());
    EXPECT_EQ(std::string(31, '7'), account.AccountNumber.GetString());
}

}  // namespace
}  // namespace paylode
