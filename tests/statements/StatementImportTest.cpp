// The import's line loop: where reading stops, the lines lost behind that
// point and their report, and the numbering of the account's transactions.
#include "statements/StatementImport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
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
}

}  // namespace
}  // namespace paylode
