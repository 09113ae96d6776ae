// The statement file reader: recognising a statement by its header, the two
// line layouts, debit and credit, failed reads and their debugger output.
#include "statements/QVTTransactionFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/DebugOutput.h"
#include "fuzz/ReferenceLine.h"

namespace paylode {
namespace {

constexpr double kFirstFeb2006 = 38749;
const auto kBinary = std::ios_base::in | std::ios_base::binary;

// A statement file in the temporary folder, removed at the end of the test.
class TempFile {
public:
    explicit TempFile(const std::string& content) {
        static int counter = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = (std::filesystem::temp_directory_path() /
                 ("paylode-statement-" + std::to_string(stamp) + "-" + std::to_string(++counter) + ".csv"))
                    .string();
        std::ofstream(path_, std::ios_base::binary) << content;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// Captures the debugger output of a test.
class DebugCapture {
public:
    DebugCapture() : handler_([this](const char* text) { texts.emplace_back(text); }) {}
    std::vector<std::string> texts;

private:
    ScopedDebugOutputHandler handler_;
};

std::string Header(int fields) {
    std::string header = "F1";
    for (int i = 2; i <= fields; ++i) header += ",F" + std::to_string(i);
    return header + "\n";
}

// A line of the short layout: 14 fields.
std::string ShortLine(const std::string& type, const std::string& debit, const std::string& credit,
                      const std::string& narrative = "N1", const std::string& date = "01/02/2006") {
    return "123456,12345678,Alias,Short,GBP,Current,BICCODE,Bank,Branch," + date + "," + narrative + "," + type + "," +
           debit + "," + credit;
}

// A line of the long layout: 18 fields.
std::string LongLine(const std::string& type, const std::string& debit, const std::string& credit,
                     const std::string& narratives = "N1,N2,N3,N4,N5") {
    return "123456,12345678,Alias,Short,GBP,Current,BICCODE,Bank,Branch,01/02/2006," + narratives + "," + type + "," +
           debit + "," + credit;
}

TEST(TransactionFile, HeaderFieldCountDecidesAStatement) {
    DebugCapture capture;
    struct Row {
        std::string header;
        int count;
        bool statement;
    };
    // clang-format off
    const Row rows[] = {
        {Header(14), 14, true},  {Header(18), 18, true},  {Header(13), 13, false}, {Header(15), 15, false},
        {Header(17), 17, false}, {Header(19), 19, false}, {"", 1, false},
        {"\"A,B\"," + Header(13), 14, true},  // the comma inside quotes does not count
        {Header(14).substr(0, Header(14).size() - 1) + "\r\n", 14, true},
    };
    // clang-format on
    TempFile first(Header(18));
    const ColumnMap firstMap = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        TempFile file(rows[i].header);
        CQVTTransactionFile fresh(file.path(), kBinary);
        EXPECT_EQ(rows[i].count, fresh.ColumnCount);
        EXPECT_EQ(rows[i].statement, fresh.BuildColumnMap());
        ColumnMap expected;
        for (int field = 1; field <= rows[i].count; ++field) expected.push_back(field);
        EXPECT_EQ(rows[i].statement ? expected : ColumnMap{}, fresh.GetColumnMap());

        // A reader opened again on this file after a statement.
        CQVTTransactionFile reader(first.path(), kBinary);
        ASSERT_TRUE(reader.BuildColumnMap());
        ASSERT_TRUE(reader.Open(file.path(), kBinary));
        EXPECT_EQ(rows[i].count, reader.ColumnCount);
        EXPECT_EQ(rows[i].statement, reader.BuildColumnMap());
        EXPECT_EQ(rows[i].statement ? expected : firstMap, reader.GetColumnMap()) << "a failed build leaves the map";
    }
    EXPECT_TRUE(capture.texts.empty());
}

TEST(TransactionFile, MissingFileIsNoStatementAndCannotBeRead) {
    DebugCapture capture;
    CQVTTransactionFile reader("/nonexistent/paylode/statement.csv", kBinary);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(0, reader.ColumnCount);
    EXPECT_FALSE(reader.ReadHeader());
    EXPECT_FALSE(reader.BuildColumnMap());
    EXPECT_TRUE(capture.texts.empty()) << "a missing file is no diagnostic";
    CTransactionRecord record;
    record.Type = "X";
    EXPECT_FALSE(reader.ReadRecord(record));
    EXPECT_EQ((std::vector<std::string>{"File Stream is NOT open", "Failed to read the Balance record\n"}),
              capture.texts);
    EXPECT_EQ(CTransactionRecord::FileNotOpen, reader.GetLastError());
    EXPECT_STREQ("X", record.Type) << "the record is not touched";
}

struct LineCase {
    const char* name;
    int header;
    std::string line;
    bool read;
    CTransactionRecord::ErrorCode error;
    const char* type;
    double debit, credit;
    int debitFlag;
};

TEST(TransactionFile, ReadsLinesOfBothLayouts) {
    const std::string text2047 = std::string(2047 - ShortLine("DD", "", "").size(), 'x');
    // clang-format off
    const LineCase rows[] = {
        {"debit", 14, ShortLine("DD", "12.50", ""), true, CTransactionRecord::NoError, "DD", 12.5, 0, 1},
        {"credit", 14, ShortLine("BGC", "", "\"1,000.00\""), true, CTransactionRecord::NoError, "BGC", 0, 1000, 0},
        {"zero debit", 14, ShortLine("BGC", "0.00", "15"), true, CTransactionRecord::NoError, "BGC", 0, 15, 0},
        {"debit wins", 14, ShortLine("DD", "12.50", "3.00"), true, CTransactionRecord::NoError, "DD", 12.5, 0, 1},
        {"negative debit", 14, ShortLine("DD", "-12.50", ""), true, CTransactionRecord::NoError, "DD", 12.5, 0, 1},
        {"tiny debit", 14, ShortLine("DD", "0.000004", ""), true, CTransactionRecord::NoError, "DD", 0, 0, 0},
        {"tiny debit, credit", 14, ShortLine("DD", "0.000004", "2"), true, CTransactionRecord::NoError, "DD", 0, 2, 0},
        {"tiny credit", 14, ShortLine("DD", "", "0.000005"), true, CTransactionRecord::NoError, "DD", 0, 0, 0},
        {"no amounts", 14, ShortLine("DD", "", ""), true, CTransactionRecord::NoError, "DD", 0, 0, 0},
        {"crlf", 14, ShortLine("BGC", "", "7.25") + "\r", true, CTransactionRecord::NoError, "BGC", 0, 7.25, 0},
        {"quoted last", 14, ShortLine("BGC", "", "\"1,234.56\"") + "\r", true, CTransactionRecord::NoError, "BGC", 0,
         1234.56, 0},
        {"type with space", 14, ShortLine(" CHQ", "1", ""), true, CTransactionRecord::NoError, " CH", 1, 0, 1},
        {"long", 18, LongLine("TFR", "", "9"), true, CTransactionRecord::NoError, "TFR", 0, 9, 0},
        {"long, crlf", 18, LongLine("TFR", "5", "") + "\r", true, CTransactionRecord::NoError, "TFR", 5, 0, 1},
        {"15 fields", 18, ShortLine("DD", "1", "2") + ",X", true, CTransactionRecord::NoError, "DD", 1, 0, 1},
        {"17 fields", 18, ShortLine("DD", "", "2") + ",X,Y,Z", true, CTransactionRecord::NoError, "DD", 0, 2, 0},
        {"19 fields", 18, LongLine("TFR", "", "9") + ",X", true, CTransactionRecord::NoError, "N2", 0, 0, 0},
        {"13 fields", 14, "a,b,c,d,e,f,g,h,i,j,k,l,m", false, CTransactionRecord::TooFewFields, "", 0, 0, 0},
        {"empty", 14, "", false, CTransactionRecord::TooFewFields, "", 0, 0, 0},
        {"long after short header", 14, LongLine("TFR", "5", ""), false, CTransactionRecord::BeyondColumnMap, "", 0,
         0, 0},
        {"2047 characters", 14, ShortLine("DD", "", "") + text2047, true, CTransactionRecord::NoError, "DD", 0, 0, 0},
        {"2048 characters", 14, ShortLine("DD", "", "") + text2047 + "9", false, CTransactionRecord::LineTooLong, "",
         0, 0, 0},
        // Cut at the NUL, the line would read as a transaction of type "N2".
        {"NUL inside", 18, LongLine("DD", "25.00", "", std::string("N1,N2,N3,N\0" "4,N5", 15)), false,
         CTransactionRecord::HoldsNul, "", 0, 0, 0},
        {"NUL at the end", 14, ShortLine("DD", "1", "") + std::string(1, '\0'), false, CTransactionRecord::HoldsNul,
         "", 0, 0, 0},
    };
    // clang-format on
    // Whether a line reads, and what its transaction is made of, is the same
    // whichever texts the reading keeps.
    for (const RecordTexts texts : {RecordTexts::All, RecordTexts::ForTransactions})
        for (const LineCase& row : rows) {
            SCOPED_TRACE(row.name);
            SCOPED_TRACE(texts == RecordTexts::All ? "all texts" : "texts for transactions");
            DebugCapture capture;
            TempFile file(Header(row.header) + row.line + "\n");
            CQVTTransactionFile reader(file.path(), kBinary);
            ASSERT_TRUE(reader.BuildColumnMap());
            reader.KeepTexts(texts);
            CTransactionRecord record;
            record.Narrative = "stale";
            EXPECT_EQ(row.read, reader.ReadRecord(record));
            EXPECT_EQ(row.error, reader.GetLastError());
            EXPECT_STREQ(row.type, record.Type);
            EXPECT_EQ(row.debit, record.Debit);
            EXPECT_EQ(row.credit, record.Credit);
            EXPECT_EQ(row.debitFlag, record.DebitFlag);
            EXPECT_STREQ("", record.Narrative) << "the record is cleared first";
            EXPECT_EQ(
                row.read ? std::vector<std::string>{} : std::vector<std::string>{"Failed to read the Balance record\n"},
                capture.texts);
        }
}

TEST(TransactionFile, KeepsTheColumnsTheirLengths) {
    const std::string line = "95-12-34,123456789,\"" + std::string(40, 'a') + "\",\"Smith, J\",GBPX," +
                             std::string(25, 't') + "," + std::string(40, 'b') + "," + std::string(40, 'n') + "," +
                             std::string(30, 'r') + ",\"01/02/2006\",\"\"," + std::string(60, '2') +
                             ",\"3\"\"q\",\"\",\" 5 \",CHQ,,1";
    TempFile file(Header(18) + line + "\n");
    CQVTTransactionFile reader(file.path(), kBinary);
    ASSERT_TRUE(reader.BuildColumnMap());
    CTransactionRecord record;
    ASSERT_TRUE(reader.ReadRecord(record));
    EXPECT_STREQ("95-12-", record.SortCode);
    EXPECT_STREQ("12345678", record.AccountNumber);
    EXPECT_EQ(std::string(35, 'a'), record.AccountAlias.GetString());
    EXPECT_STREQ("Smith, J", record.AccountShortName);
    EXPECT_STREQ("GBP", record.Currency);
    EXPECT_EQ(std::string(20, 't'), record.AccountType.GetString());
    EXPECT_EQ(std::string(34, 'b'), record.BIC.GetString());
    EXPECT_EQ(std::string(35, 'n'), record.BankName.GetString());
    EXPECT_EQ(std::string(27, 'r'), record.BranchName.GetString());
    EXPECT_STREQ("01/02/2006", record.DateText);
    EXPECT_EQ(kFirstFeb2006, record.Date);
    EXPECT_STREQ("", record.Narrative1);
    EXPECT_EQ(std::string(50, '2'), record.Narrative2.GetString());
    EXPECT_STREQ("3\"\"q", record.Narrative3) << "inner quotes stay doubled";
    EXPECT_STREQ("", record.Narrative4);
    EXPECT_STREQ(" 5 ", record.Narrative5) << "text is never trimmed";
    EXPECT_STREQ("CHQ", record.Type);
    EXPECT_EQ(1, record.Credit);
    EXPECT_EQ(" " + std::string(50, '2') + " 3\"\"q  5 ", record.GetNarrative().GetString());
    EXPECT_STREQ(record.Narrative, record.GetNarrative());

    // A reading for transactions keeps what a transaction and its account
    // are made of, and leaves the other texts empty.
    CQVTTransactionFile again(file.path(), kBinary);
    ASSERT_TRUE(again.BuildColumnMap());
    again.KeepTexts(RecordTexts::ForTransactions);
    CTransactionRecord kept;
    ASSERT_TRUE(again.ReadRecord(kept));
    for (CString CTransactionRecord::*text :
         {&CTransactionRecord::SortCode, &CTransactionRecord::AccountNumber, &CTransactionRecord::Narrative2,
          &CTransactionRecord::Narrative3, &CTransactionRecord::Narrative5, &CTransactionRecord::Type}) {
        EXPECT_STREQ(record.*text, kept.*text);
    }
    for (CString CTransactionRecord::*text :
         {&CTransactionRecord::AccountAlias, &CTransactionRecord::AccountShortName, &CTransactionRecord::Currency,
          &CTransactionRecord::AccountType, &CTransactionRecord::BIC, &CTransactionRecord::BankName,
          &CTransactionRecord::BranchName, &CTransactionRecord::DateText}) {
        EXPECT_STREQ("", kept.*text);
    }
    EXPECT_EQ(record.Date, kept.Date);
    EXPECT_EQ(record.Credit, kept.Credit);
}

TEST(TransactionFile, ShortLineKeepsOneNarrativeAndTheDateText) {
    DebugCapture capture;
    TempFile file(Header(14) + ShortLine("DD", "1", "", "Only", "\"2006-02-01 x\"") + "\n");
    CQVTTransactionFile reader(file.path(), kBinary);
    ASSERT_TRUE(reader.BuildColumnMap());
    CTransactionRecord record;
    ASSERT_TRUE(reader.ReadRecord(record));
    EXPECT_STREQ("Only", record.GetNarrative());
    EXPECT_STREQ("2006-02-01 x", record.DateText);
    EXPECT_EQ(kFirstFeb2006, record.Date);
}

TEST(TransactionFile, NarrativesJoinWithSingleSpaces) {
    struct Row {
        const char* narratives[5];
        const char* combined;
    };
    // clang-format off
    const Row rows[] = {
        {{"A", "B", "", "", ""}, "A B"},
        {{"", "ABC", "", "", ""}, " ABC"},
        {{"", "", "", "", ""}, ""},
        {{"1", "", "3", "", "5"}, "1 3 5"},
        {{" ", " ", "", "", ""}, "   "},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CTransactionRecord record;
        record.Narrative1 = rows[i].narratives[0];
        record.Narrative2 = rows[i].narratives[1];
        record.Narrative3 = rows[i].narratives[2];
        record.Narrative4 = rows[i].narratives[3];
        record.Narrative5 = rows[i].narratives[4];
        EXPECT_STREQ(rows[i].combined, record.GetNarrative());
        EXPECT_STREQ(rows[i].combined, record.GetNarrative()) << "built afresh each time";
    }
}

TEST(TransactionFile, ReadsUntilTheFirstLineThatFails) {
    DebugCapture capture;
    TempFile file(Header(14) + ShortLine("A", "1", "") + "\r\n" + ShortLine("B", "", "2") + "\r\n\r\n" +
                  ShortLine("C", "3", "") + "\n");
    CQVTTransactionFile reader(file.path(), kBinary);
    ASSERT_TRUE(reader.BuildColumnMap());
    CTransactionRecord record;
    std::string types;
    while (reader.ReadRecord(record)) types += record.GetType().GetString();
    EXPECT_EQ("AB", types) << "the empty line ends the reading";
    EXPECT_EQ(CTransactionRecord::TooFewFields, reader.GetLastError());
    EXPECT_EQ(4, reader.GetLinesRead());
}

TEST(TransactionFile, EndOfFileAndAnOverlongLineEndTheReading) {
    DebugCapture capture;
    const std::string tooLong = ShortLine("DD", "1", "") + std::string(2100, ' ');
    TempFile file(Header(14) + tooLong + "\n" + ShortLine("B", "", "2") + "\n");
    CQVTTransactionFile reader(file.path(), kBinary);
    ASSERT_TRUE(reader.BuildColumnMap());
    CTransactionRecord record;
    EXPECT_FALSE(reader.ReadRecord(record));
    EXPECT_EQ(CTransactionRecord::LineTooLong, reader.GetLastError());
    EXPECT_STREQ("", record.GetType()) << "nothing of the cut line is kept";
    EXPECT_FALSE(reader.ReadRecord(record)) << "nothing more is read after it";

    TempFile shortFile(Header(18) + LongLine("X", "1", ""));  // no line end after the last line
    CQVTTransactionFile shortReader(shortFile.path(), kBinary);
    ASSERT_TRUE(shortReader.BuildColumnMap());
    EXPECT_TRUE(shortReader.ReadRecord(record));
    EXPECT_FALSE(shortReader.ReadRecord(record));
    EXPECT_EQ(CTransactionRecord::TooFewFields, shortReader.GetLastError());
    EXPECT_EQ(2, shortReader.GetLinesRead());
}

TEST(TransactionFile, ParserNeedsAColumnMap) {
    std::istringstream in(ShortLine("DD", "1", "") + "\n");
    CTransactionRecord record;
    EXPECT_EQ(CTransactionRecord::BeyondColumnMap, ReadTransactionLine(in, record, ColumnMap{}));
}

// The parser walks a line once; what it delivers must be exactly what the
// field functions give column by column, whatever the line and the map.
TEST(TransactionFile, ParserReadsAsTheFieldFunctionsDo) {
    const std::string wide(600, 'W');
    const std::string many = [] {
        std::string line = "0";
        for (int i = 1; i < 40; ++i) line += "," + std::to_string(i) + (i % 7 == 0 ? ".50" : "");
        return line;
    }();
    // clang-format off
    const std::string lines[] = {
        ShortLine("DD", "12.50", ""),
        ShortLine("DD", "1", "", "N1", "01/03/2006"),
        ShortLine("DD", "1", "", "N1", "01/03/200"),
        ShortLine("CHQ", "", "\"1,234.56\"\r"),
        ShortLine(" \"CHQ\"", " \"7\" ", "\"3\"x\r"),
        ShortLine("DD", "0.00", "\"5\",\"6\""),
        ShortLine("DD", "\"", "\"\r", "\"Smith, J\"", "\"01/02/2006 10:30\""),
        ShortLine("SO", "-1e3", "", "N1", "2006-02-01"),
        ShortLine("SO", "", "0x10", "N1", "31/12/1899"),
        ShortLine("TFR", "", "9", "\"open", "00/00/0000"),
        ShortLine("DD", "", "4", "N1", "\"" + wide + "\""),
        ShortLine(wide, wide, "\"" + wide + "\""),
        LongLine("DD", "", "\"12\"\r"),
        LongLine("BGC", "", "2", "\"a,b\",,\"\",N4,\"N5\r"),
        LongLine("DD", "1", "2") + ",\"",
        LongLine("DD", "", "3") + ",extra",
        "\"95-12-34\"" + ShortLine("DD", "1", "").substr(6),
        many,
        many + ",\"tail,with,commas\"\r",
    };
    // clang-format on
    std::vector<ColumnMap> maps = {{}, {}, {}, {}};
    for (int field = 1; field <= 14; ++field) maps[0].push_back(field);
    for (int field = 1; field <= 18; ++field) maps[1].push_back(field);
    for (int field = 18; field >= 1; --field) maps[2].push_back(field);  // the last field first
    for (int field = 20; field <= 37; ++field) maps[3].push_back(field);
    // Each line alone into a new record, and every line in turn into one
    // record, as a reading reuses it (a date is never another line's).
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    for (std::size_t m = 0; m < maps.size(); ++m) {
        std::istringstream inTurn(all);
        CTransactionRecord reused;
        for (std::size_t i = 0; i < std::size(lines); ++i) {
            SCOPED_TRACE("map " + std::to_string(m) + ", line " + std::to_string(i));
            std::istringstream in(lines[i] + "\n");
            CTransactionRecord parsed;
            const CTransactionRecord::ErrorCode code = ReadTransactionLine(in, parsed, maps[m]);
            CTransactionRecord plain;
            ASSERT_EQ(fuzz::ReadLineThePlainWay(lines[i], maps[m], plain), code);
            ASSERT_EQ(code, ReadTransactionLine(inTurn, reused, maps[m]));
            if (code != CTransactionRecord::NoError) continue;
            EXPECT_TRUE(fuzz::SameRecord(reused, plain)) << "read in turn";
            EXPECT_TRUE(fuzz::SameRecord(parsed, plain))
                << parsed.SortCode.GetString() << "|" << parsed.Type.GetString() << "|" << parsed.DateText.GetString()
                << "|" << parsed.Debit << "|" << parsed.Credit << " vs " << plain.SortCode.GetString() << "|"
                << plain.Type.GetString() << "|" << plain.DateText.GetString() << "|" << plain.Debit << "|"
                << plain.Credit;
        }
    }
}

}  // namespace
}  // namespace paylode
