// The import's line loop: where reading stops, the lines lost behind that
// point and their report, and the numbering of the account's transactions.
#include "statements/StatementImport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/DebugOutput.h"

namespace paylode {
namespace {

const auto kBinary = std::ios_base::in | std::ios_base::binary;

// A statement file in the temporary folder, removed at the end of the test.
class StatementFile {
public:
    explicit StatementFile(const std::string& content) {
        static int counter = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = (std::filesystem::temp_directory_path() /
                 ("paylode-import-" + std::to_string(stamp) + "-" + std::to_string(++counter) + ".csv"))
                    .string();
        std::ofstream(path_, std::ios_base::binary) << content;
    }
    ~StatementFile() { std::filesystem::remove(path_); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

const std::string kHeader14 = "F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,F13,F14\n";

// A short-layout line of the given account with a debit of 1.
std::string Line(const std::string& type, const std::string& account = "12345678") {
    return "123456," + account + ",Alias,Short,GBP,Current,BIC,Bank,Branch,01/02/2006,N1," + type + ",1,\n";
}
std::string Long(const std::string& type) {
    return "123456,12345678,A,S,GBP,C,BIC,Bank,Branch,01/02/2006,N1,N2,N3,N4,N5," + type + ",1,\n";
}

// `line` with its first narrative's second character made a NUL.
std::string WithNul(std::string line) {
    line[line.find("N1") + 1] = '\0';
    return line;
}

TEST(StatementImport, ReportsReadableLinesLostBehindTheLineWhereReadingStopped) {
    struct Row {
        const char* name;
        std::string content;
        std::string delivered;  // types of the records delivered
        int linesRead;
        bool atEnd;
        int linesNotRead;
        const char* problem;  // why the file cannot be imported whole, after "Line N of PATH cannot be read: "
    };
    // clang-format off
    const Row rows[] = {
        {"end of the file", kHeader14 + Line("A") + Line("B"), "AB", 3, true, 0, ""},
        {"no line end at the end", kHeader14 + Line("A") + "123456,1", "A", 3, false, 0, ""},
        {"trailing empty lines", kHeader14 + Line("A") + "\r\n\n\n", "A", 3, false, 0, ""},
        {"a footer of fewer fields", kHeader14 + Line("A") + "Total,1\r\n", "A", 3, false, 0, ""},
        {"empty line inside", kHeader14 + Line("A") + "\r\n" + Line("B") + Line("C"), "A", 3, false, 2,
         "it is empty; a statement line has at least 14 fields."},
        {"garbled lines between", kHeader14 + "x,y\n" + "\n" + Line("B") + "\n" + Line("C"), "", 2, false, 2,
         "it has 2 fields; a statement line has at least 14."},
        {"overlong line", kHeader14 + Line("A") + std::string(3000, ' ') + "\n" + Line("B") + Line("C"), "A", 3, false, 2,
         "it is longer than 2047 characters."},
        {"long layout under a short header", kHeader14 + Long("L") + Line("B"), "", 2, false, 1,
         "it has 18 fields but the header only 14."},
        {"header only", kHeader14, "", 1, true, 0, ""},
        // A NUL makes a damaged line, never the file's end.
        {"a NUL in the last line", kHeader14 + Line("A") + WithNul(Line("B")), "A", 3, false, 0,
         "it holds a NUL character."},
        {"a NUL before readable lines", kHeader14 + WithNul(Line("A")) + Line("B"), "", 2, false, 1,
         "it holds a NUL character."},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].name);
        std::vector<std::string> output;
        ScopedDebugOutputHandler capture([&output](const char* text) { output.emplace_back(text); });
        StatementFile file(rows[i].content);
        CQVTTransactionFile reader(file.path(), kBinary);
        ASSERT_TRUE(reader.BuildColumnMap());
        std::string delivered;
        const StatementReading reading = ReadStatementRecords(
            reader, [&](CTransactionRecord& record) { delivered += record.GetType().GetString(); });
        EXPECT_EQ(rows[i].delivered, delivered);
        EXPECT_EQ(static_cast<int>(rows[i].delivered.size()), reading.records);
        EXPECT_EQ(rows[i].linesRead, reading.linesRead);
        EXPECT_EQ(rows[i].atEnd, reading.atEnd);
        EXPECT_EQ(rows[i].linesNotRead, reading.linesNotRead);

        // The report is the last debugger output, and only when lines were lost.
        const std::string report = "Statement file: " + std::to_string(rows[i].linesNotRead) + " readable line" +
                                   (rows[i].linesNotRead == 1 ? "" : "s") + " after line " +
                                   std::to_string(rows[i].linesRead) + " not read\n";
        ASSERT_FALSE(output.empty());
        if (rows[i].linesNotRead > 0) {
            EXPECT_EQ(report, output.back());
        } else {
            EXPECT_EQ("Failed to read the Balance record\n", output.back());
        }

        // The user is told why the whole file cannot be imported.
        const std::string problem = *rows[i].problem == '\0' ? std::string()
                                                               : "Line " + std::to_string(rows[i].linesRead) + " of " +
                                                                     file.path() + " cannot be read: " + rows[i].problem;
        EXPECT_EQ(problem, UnreadableLineText(reading, file.path()));
        EXPECT_EQ(problem, StatementFileProblem(file.path()));

        // The import's one reading, keeping every account's lines, comes to
        // the same verdict at the same line.
        const CheckedStatement checked = CheckStatementFile(file.path(), CKeptTransactions::ForEveryAccount());
        EXPECT_EQ(problem, checked.problem);
        EXPECT_EQ(rows[i].linesRead, checked.reading.linesRead);
        EXPECT_EQ(rows[i].linesNotRead, checked.reading.linesNotRead);
    }
}

TEST(StatementImport, AFileThatIsNoStatementIsRefusedWithItsReason) {
    StatementFile threeFields("a,b,c\r\n" + Line("A"));
    EXPECT_EQ(std::string(threeFields.path()) +
                  " is not a statement file: its header has 3 fields; a statement's header has 14 or 18.",
              StatementFileProblem(threeFields.path()));
    const std::string missing = std::string(threeFields.path()) + ".missing";
    EXPECT_EQ(missing + " cannot be opened.", StatementFileProblem(missing.c_str()));
}

TEST(StatementImport, NumbersTheAccountsTransactionsWithoutGaps) {
    ScopedDebugOutputHandler silent([](const char*) {});
    StatementFile file(kHeader14 + Line("A") + Line("X", "99999999") + Line("CHQ") + Line("Y", "99999999") + Line("C") +
                       "\n" + Line("D"));
    CQVTTransactionFile reader(file.path(), kBinary);
    ASSERT_TRUE(reader.BuildColumnMap());
    StatementAccount account;
    account.SetSortCode("12-34-56");
    account.SetAccountNumber("12345678");
    std::vector<StatementTransaction> added;
    const StatementReading reading = ImportStatementRecords(
        reader, account, [&](const StatementTransaction& transaction) { added.push_back(transaction); });
    ASSERT_EQ(3u, added.size());
    EXPECT_EQ(3, reading.transactions);
    EXPECT_EQ(5, reading.records);
    EXPECT_EQ(1, reading.linesNotRead) << "D lies behind the empty line";
    const char* references[] = {"A", "N1", "C"};
    for (std::size_t i = 0; i < added.size(); ++i) {
        EXPECT_EQ(static_cast<int>(i) + 1, added[i].ID);
        EXPECT_STREQ(references[i], added[i].Reference);
        EXPECT_EQ(i == 1, added[i].Cheque);
        EXPECT_STREQ("N1", added[i].Narrative);
    }
}

// What an import delivers: the transactions, each with its line, the
// reading's figures and the debugger output.
struct Delivered {
    std::vector<std::string> transactions;
    std::vector<std::string> debugger;
    StatementReading reading;
    bool refused = false;
    std::string problem;
};

std::string Describe(const StatementTransaction& t, int line) {
    char amounts[64];
    std::snprintf(amounts, sizeof amounts, "%a %a", t.Date, t.Amount);
    return std::to_string(line) + " #" + std::to_string(t.ID) + " " + amounts + " " + std::to_string(t.Type) + " [" +
           t.Reference.GetString() + "] [" + t.Description.GetString() + "] [" + t.Narrative.GetString() + "] " +
           (t.Cheque ? "cheque" : "");
}

// The import as it was: the file read whole, then read again for the account.
Delivered ReadTwice(const char* path, const StatementAccount& account) {
    Delivered got;
    ScopedDebugOutputHandler capture([&got](const char* text) { got.debugger.emplace_back(text); });
    got.problem = StatementFileProblem(path);
    if (!got.problem.empty()) return got;
    CQVTTransactionFile reader(path, kBinary);
    EXPECT_TRUE(reader.BuildColumnMap());
    got.reading = ImportStatementRecords(reader, account, [&](const StatementTransaction& transaction) {
        got.transactions.push_back(Describe(transaction, reader.GetLinesRead()));
    });
    return got;
}

// The one reading, then the delivery; `between` runs in between.
Delivered ReadOnce(const char* path, const StatementAccount& account, CKeptTransactions keep, bool& heldAll,
                   const std::function<void()>& between = [] {}) {
    Delivered got;
    ScopedDebugOutputHandler capture([&got](const char* text) { got.debugger.emplace_back(text); });
    const CheckedStatement checked = CheckStatementFile(path, std::move(keep));
    got.problem = checked.problem;
    heldAll = checked.kept.HoldsAll(account);
    if (!got.problem.empty()) return got;
    between();
    const StatementDelivery delivery =
        DeliverStatementTransactions(path, checked, account, [&](const StatementTransaction& transaction, int line) {
            got.transactions.push_back(Describe(transaction, line));
        });
    got.reading = delivery.reading;
    got.refused = delivery.refused;
    if (delivery.refused) got.problem = delivery.problem;
    return got;
}

void ExpectSame(const Delivered& expected, const Delivered& got) {
    EXPECT_EQ(expected.transactions, got.transactions);
    EXPECT_EQ(expected.debugger, got.debugger);
    EXPECT_EQ(expected.problem, got.problem);
    EXPECT_EQ(expected.reading.linesRead, got.reading.linesRead);
    EXPECT_EQ(expected.reading.records, got.reading.records);
    EXPECT_EQ(expected.reading.transactions, got.reading.transactions);
    EXPECT_EQ(expected.reading.stop, got.reading.stop);
    EXPECT_EQ(expected.reading.atEnd, got.reading.atEnd);
    EXPECT_EQ(expected.reading.stopFields, got.reading.stopFields);
    EXPECT_EQ(expected.reading.headerFields, got.reading.headerFields);
}

std::string Account(const std::string& sortCode, const std::string& number, const std::string& rest) {
    return sortCode + "," + number + ",A,S,GBP,C,BIC,Bank,Branch," + rest + "\r\n";
}

TEST(StatementImport, DeliversFromTheOneReadingWhatASecondReadingWould) {
    const std::string header18 = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18\r\n";
    // Both layouts, cheques, credits, empty and quoted narratives, no amount,
    // an unreadable date, other accounts between.
    const std::string mixed =
        header18 + Account("123456", "12345678", "01/02/2006,N1,,N3,,N5,DD,\"1,234.56\",") +
        Account("654321", "12345678", "02/02/2006,X,,,,,DD,1,") +
        Account("123456", "12345678", "2006-02-03,100234,SMITH,,,,CHQ,250,") +
        Account("123456", "12345678", "31/02/2006,\"SALARY, MARCH\",,,,,BGC,,99.5") +
        Account("123456", "12345678", "01/03/2006,N1,DD,5,") + Account("123456", "12345678", "01/03/2006,,,,,,TFR,,") +
        Account("123456", "87654321", "02/03/2006,Y,,,,,SO,7,") + "Total,3\r\n";
    std::string crowd = header18;  // more accounts than are told apart
    for (std::size_t i = 0; i <= CKeptTransactions::kMaxAccounts; ++i) {
        crowd += Account("1", std::to_string(i), "01/02/2006,N,,,,,DD,1,");
    }
    crowd += Account("123456", "12345678", "01/02/2006,LAST,,,,,DD,1,");
    struct Row {
        const char* name;
        std::string content;
        const char* sortCode;
        const char* number;
        bool everyAccount;  // the import's keeper; otherwise the tool's, for the account
        std::size_t cap;
        bool heldAll;  // delivered from the reading, the file not read again
    };
    const std::size_t cap = CKeptTransactions::kDefaultCap;
    // clang-format off
    const Row rows[] = {
        {"the tool's account", mixed, "12-34-56", "12345678", false, cap, true},
        {"the import's account", mixed, "12-34-56", "12345678", true, cap, true},
        {"an account with no line", mixed, "99-99-99", "99999999", true, cap, true},
        {"an account with no line, the tool", mixed, "99-99-99", "99999999", false, cap, true},
        {"the empty account", header18 + Account("", "", "01/02/2006,E,,,,,DD,3,") + Account("1", "", "01/02/2006,F,,,,,DD,3,"),
         "", "", true, cap, true},
        {"header only", header18, "12-34-56", "12345678", true, cap, true},
        {"cap crossed: read again", mixed, "12-34-56", "12345678", false, 100, false},
        {"cap crossed by the import: read again", mixed, "12-34-56", "12345678", true, 100, false},
        // The largest group is dropped; the small one stays whole.
        {"cap crossed by another account", mixed, "12-34-56", "87654321", true, 900, true},
        {"an account among too many", crowd, "12-34-56", "12345678", true, cap, false},
        {"an account told apart before too many", crowd, "1", "3", true, cap, true},
        {"an unseen account among too many", crowd, "99-99-99", "99999999", true, cap, false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        StatementFile file(row.content);
        StatementAccount account;
        account.SetSortCode(row.sortCode);
        account.SetAccountNumber(row.number);
        const Delivered expected = ReadTwice(file.path(), account);
        ASSERT_TRUE(expected.problem.empty());
        const auto keeper = [&] {
            return row.everyAccount ? CKeptTransactions::ForEveryAccount(row.cap)
                                    : CKeptTransactions::ForAccount(account, row.cap);
        };
        bool heldAll = false;
        ExpectSame(expected, ReadOnce(file.path(), account, keeper(), heldAll));
        EXPECT_EQ(row.heldAll, heldAll);

        // Whatever happens to the file after the reading: what was kept is
        // delivered as it was read; an account read again is refused when
        // the file is no longer a statement.
        const Delivered changed = ReadOnce(file.path(), account, keeper(), heldAll, [&] {
            std::ofstream(file.path(), std::ios_base::binary | std::ios_base::trunc) << "a,b\r\n";
        });
        if (row.heldAll) {
            ExpectSame(expected, changed);
        } else {
            EXPECT_TRUE(changed.refused);
            EXPECT_TRUE(changed.transactions.empty());
            EXPECT_EQ(std::string(file.path()) +
                          " is not a statement file: its header has 2 fields; a statement's header has 14 or 18.",
                      changed.problem);
        }
    }
}

// The keeper tells a line's account apart in two machine words when its
// texts are as short as the reader keeps them, and as text otherwise: sort
// codes that share their first 8 characters are still other accounts.
TEST(StatementImport, KeptAccountsAreToldApartWhateverTheirLength) {
    const char* const sortCodes[] = {"123456789", "123456780", "12345678", "1234567"};
    CKeptTransactions kept = CKeptTransactions::ForEveryAccount();
    for (int i = 0; i < 4; ++i) {
        CTransactionRecord record;
        record.SortCode = sortCodes[i];
        record.AccountNumber = "1";
        record.Type = "DD";
        record.DebitFlag = 1;
        record.Debit = i + 1;
        kept.Keep(record, i + 2);
    }
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(sortCodes[i]);
        StatementAccount account;
        account.SetSortCode(sortCodes[i]);
        account.SetAccountNumber("1");
        ASSERT_TRUE(kept.HoldsAll(account));
        std::vector<int> lines;
        kept.Deliver(account, [&lines](const StatementTransaction&, int line) { lines.push_back(line); });
        EXPECT_EQ(std::vector<int>{i + 2}, lines);
    }
}

TEST(StatementImport, KeepsNoMoreThanItsCap) {
    std::string content = kHeader14;
    for (int i = 0; i < 2000; ++i) content += Line(std::to_string(i % 3), std::to_string(10000000 + i % 7));
    StatementFile file(content);
    for (const std::size_t cap : {std::size_t{0}, std::size_t{600}, std::size_t{5000}, std::size_t{40000}}) {
        SCOPED_TRACE(cap);
        ScopedDebugOutputHandler silent([](const char*) {});
        const CheckedStatement every = CheckStatementFile(file.path(), CKeptTransactions::ForEveryAccount(cap));
        EXPECT_LE(every.kept.BytesHeld(), cap);
        StatementAccount account;
        account.SetSortCode("123456");
        account.SetAccountNumber("10000003");
        const CheckedStatement one = CheckStatementFile(file.path(), CKeptTransactions::ForAccount(account, cap));
        EXPECT_LE(one.kept.BytesHeld(), cap);
    }
    // A refused file keeps its reading's verdict; nothing is delivered from it.
    StatementFile refused(kHeader14 + Line("A") + "\r\n" + Line("B"));
    bool heldAll = false;
    StatementAccount account;
    account.SetSortCode("123456");
    account.SetAccountNumber("12345678");
    const Delivered got = ReadOnce(refused.path(), account, CKeptTransactions::ForEveryAccount(), heldAll);
    EXPECT_FALSE(got.problem.empty());
    EXPECT_TRUE(got.transactions.empty());
}

TEST(StatementImport, AFailureWhileAddingEndsTheReading) {
    ScopedDebugOutputHandler silent([](const char*) {});
    StatementFile file(kHeader14 + Line("A") + Line("B"));
    CQVTTransactionFile reader(file.path(), kBinary);
    ASSERT_TRUE(reader.BuildColumnMap());
    StatementAccount account;
    account.SetSortCode("123456");
    account.SetAccountNumber("12345678");
    int calls = 0;
    EXPECT_THROW(ImportStatementRecords(reader, account,
                                        [&](const StatementTransaction&) {
                                            ++calls;
                                            throw std::runtime_error("host failed");
                                        }),
                 std::runtime_error);
    EXPECT_EQ(1, calls);

    // Delivered from the one reading, the same: the first failure ends it,
    // and no debugger line says where a reading stopped.
    std::vector<std::string> output;
    ScopedDebugOutputHandler capture([&output](const char* text) { output.emplace_back(text); });
    const CheckedStatement checked = CheckStatementFile(file.path(), CKeptTransactions::ForAccount(account));
    ASSERT_TRUE(checked.kept.HoldsAll(account));
    output.clear();
    calls = 0;
    EXPECT_THROW(DeliverStatementTransactions(file.path(), checked, account,
                                              [&](const StatementTransaction&, int) {
                                                  ++calls;
                                                  throw std::runtime_error("host failed");
                                              }),
                 std::runtime_error);
    EXPECT_EQ(1, calls);
    EXPECT_TRUE(output.empty());
}

}  // namespace
}  // namespace paylode
