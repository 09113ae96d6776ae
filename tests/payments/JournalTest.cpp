// The payment journal: its line format and check field, the append after a
// torn last line, the reading that skips and names damaged lines, the
// payment file's SHA-256, and the look-up of a batch among earlier exports
// with the dialog's texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/OleDate.h"
#include "common/Sha256.h"
#include "payments/Journal.h"
#include "payments/JournalLookup.h"
#include "payments/PayeeChecks.h"
#include "payments/Reconcile.h"
#include "payments/StatementMarks.h"
#include "payments/BankClosures.h"

namespace paylode {
namespace {

constexpr const char kHeader[] =
    "run,exported,user,machine,payer_sort_code,payer_account_number,format,processing_date,currency,payment_file,"
    "payment_file_sha256,row,payee_account_name,payee_sort_code,payee_account_number,amount,payee_bacs_reference,"
    "reference,crc32\r\n";

JournalRun MakeRun(const std::string& id, int day, int processingDay, const std::string& payerAccount = "12345678") {
    JournalRun run;
    run.run = id;
    run.exported = {2026, 12, day, 0, 10, 15, 0};
    run.user = "clerk";
    run.machine = "PAY1";
    run.payerSortCode = "12-34-56";
    run.payerAccountNumber = payerAccount;
    run.format = 0;
    run.processingDate = OleDateOfDay(2026, 12, processingDay);
    run.currency = "GBP";
    run.paymentFile = "C:\\Pay\\pay.txt";
    run.paymentFileSha256 = std::string(64, 'a');
    return run;
}

JournalPayment Payment(long row, double amount, const std::string& reference = "INV1",
                       const std::string& name = "SUPPLIER") {
    return {row, name, "65-43-21", "87654321", amount, reference, reference};
}

// A line of any fields, its check computed, as a foreign writer could make it.
std::string Sealed(const std::string& fields) {
    char check[16];
    std::snprintf(check, sizeof check, ",%08x\r\n", static_cast<unsigned>(Crc32(fields)));
    return fields + check;
}

TEST(Journal, Sha256GivesTheFips180Digests) {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.substr(0, 20) + " (" + std::to_string(c.message.size()) + " bytes)");
        EXPECT_EQ(c.digest, Sha256Hex(c.message));
        // Fed in uneven pieces that straddle the 64-byte blocks.
        CSha256 pieces;
        for (std::size_t at = 0, size = 1; at < c.message.size(); at += size, size = size * 3 % 127 + 1) {
            pieces.Update(std::string_view(c.message).substr(at, size));
        }
        EXPECT_EQ(c.digest, pieces.HexDigest());
    }
}

TEST(Journal, Crc32IsTheIeeeCheck) {
    EXPECT_EQ(0xcbf43926u, Crc32("123456789"));
    EXPECT_EQ(0u, Crc32(""));
    EXPECT_EQ(0xe8b7be43u, Crc32("a"));
}

TEST(Journal, WritesTheHeaderAndLinesQuotedInUtf8WithTheirCheck) {
    EXPECT_EQ(kHeader, JournalHeaderLine());
    JournalRun run = MakeRun("20261203T101500-PAY1-1f4c-1", 3, 7);
    run.paymentFileSha256.clear();
    for (int i = 0; i < 32; ++i) run.paymentFileSha256 += "ab";
    struct Case {
        JournalPayment payment;
        const char* line;
    };
    const char* const start =
        "20261203T101500-PAY1-1f4c-1,2026-12-03T10:15:00,clerk,PAY1,123456,12345678,0,2026-12-07,GBP,"
        "C:\\Pay\\pay.txt,abababababababababababababababababababababababababababababababab,1,";
    const Case cases[] = {
        // A comma and a quote: quoted, the quote doubled.
        {{1, "O\"Brien, Ltd", "65-43-21", "87654321", 1234.5, "INV1", "INV1"},
         "\"O\"\"Brien, Ltd\",654321,87654321,1234.50,INV1,INV1,1606f60a\r\n"},
        // ANSI text as UTF-8.
        {{1, "Caf\xE9", "654321", "87654321", 12, "INV1", "INV1"}, "Caf\xC3\xA9,654321,87654321,12.00,INV1,INV1,b092c553\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(std::string(start) + c.line, JournalLine(run, c.payment));
    }
    // A line break in a name is kept inside the quotes.
    const std::string broken = JournalLine(run, Payment(2, 1, "R", "TWO\r\nLINES"));
    EXPECT_NE(std::string::npos, broken.find(",\"TWO\r\nLINES\","));
    EXPECT_TRUE(JournalCheckMatches(broken.substr(0, broken.size() - 2)));
    EXPECT_EQ("PaylodeJournal-2026.csv", JournalFileName(2026));
    EXPECT_EQ("20261203T101500-PAY1-1f4c-2a", JournalRunId(run.exported, "PAY1", 0x1f4c, 42));
}

TEST(Journal, AnAppendStartsTheFileOrANewLineNeverGluingOntoATornOne) {
    const JournalRun run = MakeRun("r", 3, 7);
    const std::vector<JournalPayment> payments = {Payment(1, 10), Payment(2, 20)};
    const std::string lines = JournalLine(run, payments[0]) + JournalLine(run, payments[1]);
    struct Case {
        const char* name;
        std::string fileEnd;
        std::string before;  // what comes before the lines
    };
    const Case cases[] = {
        {"new file", "", std::string("\xEF\xBB\xBF") + kHeader},
        {"cut short in its byte-order mark", "\xEF", std::string("\xBB\xBF") + kHeader},
        {"cut short in its header", "\xEF\xBB\xBFrun,exp", kHeader + 7},
        {"ends with CR LF", "...,0123abcd\r\n", ""},
        {"ends with LF", "x\n", ""},
        {"torn inside a line", "20261203T1015", "\r\n"},
        {"only its header", std::string("\xEF\xBB\xBF") + kHeader, ""},
        {"torn between CR and LF", "...,0123abcd\r", "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.before + lines, JournalAppendText(c.fileEnd, run, payments));
    }
}

struct Damage {
    long line;
    const char* problem;
};

TEST(Journal, ReadingSkipsAndNamesDamagedLines) {
    const std::string bom = "\xEF\xBB\xBF";
    const JournalRun run = MakeRun("r1", 3, 7);
    const std::string a = JournalLine(run, Payment(1, 10));
    const std::string b = JournalLine(run, Payment(2, 20));
    const std::string multi = JournalLine(run, Payment(3, 30, "R", "TWO\r\nLINES"));
    std::string changed = a;
    changed[changed.find("10.00")] = '9';
    const std::string start = JournalAppendText("", run, {Payment(1, 10)});
    const std::string torn = start + b.substr(0, 40);
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<long> entries;  // their line numbers
        std::vector<Damage> damaged;
    };
    const Case cases[] = {
        {"whole", bom + kHeader + a + b, {2, 3}, {}},
        {"no byte-order mark", kHeader + a, {2}, {}},
        {"empty file", "", {}, {}},
        {"a changed amount", bom + kHeader + changed + b, {3}, {{2, "the check field does not match the line"}}},
        {"a foreign line with a right check", bom + kHeader + Sealed("a,b,c") + b, {3},
         {{2, "it has 4 fields; a journal line has 19"}}},
        {"no check field", bom + kHeader + "a,b\r\n" + b, {3}, {{2, "the check field is not 8 hexadecimal digits"}}},
        {"an empty line", bom + kHeader + "\r\n" + b, {3}, {{2, "the line is empty"}}},
        {"a torn last line", torn, {2}, {{3, "the line has no line end: it was cut off"}}},
        {"a whole last line without its line end", start + b.substr(0, b.size() - 2), {2},
         {{3, "the line has no line end: it was cut off"}}},
        {"the next run after a torn line", torn + JournalAppendText(torn, run, {Payment(4, 40)}), {2, 4},
         {{3, "the check field is not 8 hexadecimal digits"}}},
        {"the next run after a line torn inside quotes",
         start + multi.substr(0, multi.find("TWO") + 4) + JournalAppendText("x", run, {Payment(4, 40)}), {2, 4},
         {{3, "a quoted field is not closed"}}},
        {"a header that is not the header", bom + "run,exported\r\n" + a, {2}, {{1, "it is not the journal's header"}}},
        {"a torn header", bom + "run,expo", {}, {{1, "the line has no line end: it was cut off"}}},
        {"a name over two lines", bom + kHeader + a + multi + b, {2, 3, 5}, {}},
        // Its check fails, so each of its lines is damaged on its own and
        // the next line is read.
        {"a damaged line over two lines", bom + kHeader + multi.substr(0, multi.size() - 4) + "00\r\n" + b, {4},
         {{2, "a quoted field is not closed"}, {3, "a quoted field is not closed"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const JournalReading reading = ReadJournal(c.bytes);
        std::vector<long> lines;
        for (const JournalEntry& entry : reading.entries) lines.push_back(entry.line);
        EXPECT_EQ(c.entries, lines);
        ASSERT_EQ(c.damaged.size(), reading.damaged.size());
        for (std::size_t i = 0; i < c.damaged.size(); ++i) {
            EXPECT_EQ(c.damaged[i].line, reading.damaged[i].line) << i;
            EXPECT_EQ(c.damaged[i].problem, reading.damaged[i].problem) << i;
        }
    }
}

// A run killed during its append leaves some first bytes of its one write:
// cut the write after every byte, into a new file and onto a journal with
// earlier runs. Every earlier line stays whole, at most the cut line is
// damaged, and the next run's lines all read back whole after it.
TEST(Journal, AnAppendCutAfterAnyByteCostsAtMostTheCutLine) {
    const JournalRun earlier = MakeRun("r1", 2, 7);
    const JournalRun killed = MakeRun("r2", 3, 7);
    const JournalRun next = MakeRun("r3", 4, 7);
    const std::vector<JournalPayment> killedPayments = {Payment(1, 10), Payment(2, 20, "R", "TWO\r\nLINES"),
                                                        Payment(3, 30)};
    const std::vector<JournalPayment> nextPayments = {Payment(1, 40), Payment(2, 50)};
    const std::string journal = JournalAppendText("", earlier, {Payment(1, 1), Payment(2, 2, "R", "A \"Q\"")});
    for (const std::string& before : {std::string(), journal}) {
        const std::size_t earlierLines = ReadJournal(before).entries.size();
        const std::string write = JournalAppendText(before, killed, killedPayments);
        // Where each of the killed run's lines ends in its write.
        std::vector<std::size_t> lineEnds;
        for (std::size_t i = 1; i <= killedPayments.size(); ++i) {
            std::vector<JournalPayment> first(killedPayments.begin(), killedPayments.begin() + i);
            lineEnds.push_back(JournalAppendText(before, killed, first).size());
        }
        for (std::size_t cut = 0; cut <= write.size(); ++cut) {
            SCOPED_TRACE((before.empty() ? "new file, cut after " : "journal, cut after ") + std::to_string(cut));
            const std::string left = before + write.substr(0, cut);
            const JournalReading reading = ReadJournal(left);
            ASSERT_LE(earlierLines, reading.entries.size());
            const std::size_t kept = reading.entries.size() - earlierLines;
            // The killed run's lines read whole are its first ones, all of
            // them only once its write is complete; what is damaged is the
            // cut line (two lines where the name holds a line break) after them.
            for (std::size_t i = 0; i < kept; ++i) {
                EXPECT_EQ(killed.run, reading.entries[earlierLines + i][kJournalRun]);
                EXPECT_EQ(std::to_string(i + 1), reading.entries[earlierLines + i][kJournalRow]);
            }
            EXPECT_EQ(cut == write.size(), kept == killedPayments.size());
            EXPECT_LE(reading.damaged.size(), 2u);
            for (const JournalDamage& damage : reading.damaged) {
                EXPECT_TRUE(reading.entries.empty() || damage.line > reading.entries.back().line) << damage.line;
            }

            // Cut after a line's check field, before or inside its CR LF, the
            // next run's line break ends that line, which then reads whole.
            const bool endedByNext = std::any_of(lineEnds.begin(), lineEnds.end(), [&](std::size_t end) {
                return cut == end - 2 || cut == end - 1;
            });
            const JournalReading after = ReadJournal(left + JournalAppendText(left, next, nextPayments));
            ASSERT_EQ(reading.entries.size() + endedByNext + nextPayments.size(), after.entries.size());
            EXPECT_EQ(next.run, after.entries.back()[kJournalRun]);
            EXPECT_LE(after.damaged.size(), reading.damaged.size());
        }
    }
}

TEST(Journal, ReadsBackWhatItWrote) {
    JournalRun run = MakeRun("r1", 3, 7);
    run.user = "Z\xE9lie, \"admin\"";
    const std::string bytes = JournalAppendText("", run, {Payment(1, 1234.5, "REF", "TWO\r\nLINES")});
    const JournalReading reading = ReadJournal(bytes);
    ASSERT_EQ(1u, reading.entries.size());
    const JournalEntry& entry = reading.entries[0];
    EXPECT_EQ("Z\xC3\xA9lie, \"admin\"", entry[kJournalUser]);
    EXPECT_EQ("TWO\r\nLINES", entry[kJournalPayeeAccountName]);
    EXPECT_EQ("123456", entry[kJournalPayerSortCode]);
    EXPECT_EQ("654321", entry[kJournalPayeeSortCode]);
    EXPECT_EQ("1234.50", entry[kJournalAmount]);
    EXPECT_EQ("2026-12-07", entry[kJournalProcessingDate]);
    EXPECT_EQ("2026-12-03T10:15:00", entry[kJournalExported]);
    EXPECT_EQ("1", entry[kJournalRow]);
    EXPECT_EQ("0", entry[kJournalFormat]);
}

// A reader picking lines by paying account and processing date gets the
// whole lines it asks for, whether their first fields are quoted or not.
TEST(Journal, ReadsOnlyTheLinesItsKeyKeeps) {
    JournalRun quoted = MakeRun("q", 3, 8);
    quoted.user = "Smith, J";  // quoted before the processing date
    const std::string bytes = JournalAppendText("", MakeRun("a", 3, 7), {Payment(1, 10), Payment(2, 20)}) +
                              JournalLine(MakeRun("b", 3, 7, "87654321"), Payment(1, 30)) +
                              JournalLine(quoted, Payment(1, 40)) + JournalLine(MakeRun("c", 3, 9), Payment(1, 50)) +
                              "broken,line\r\n";
    const std::vector<JournalEntry> kept = ReadJournalLines(bytes, [](const JournalLineKey& key) {
        return key.payerSortCode == "123456" && key.payerAccountNumber == "12345678" &&
               key.processingDate <= "2026-12-08";
    });
    std::vector<std::string> runs;
    for (const JournalEntry& entry : kept) runs.push_back(entry[kJournalRun] + "/" + entry[kJournalRow]);
    EXPECT_EQ((std::vector<std::string>{"a/1", "a/2", "q/1"}), runs);
}

TEST(Journal, AmountsToThePenny) {
    struct Case {
        const char* text;
        bool read;
        std::int64_t pence;
    };
    const Case cases[] = {
        {"1234.50", true, 123450},   {"-0.50", true, -50},          {"0.00", true, 0},
        {"0.01", true, 1},           {"92233720368547758.07", true, 9223372036854775807},
        {"92233720368547758.08", false, 0}, {"nan", false, 0},      {"-nan", false, 0},
        {"12.5", false, 0},          {"1,234.50", false, 0},        {"", false, 0},
        {".50", false, 0},           {"12.5x", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::int64_t pence = 0;
        EXPECT_EQ(c.read, PenceOfAmount(c.text, &pence));
        if (c.read) {
            EXPECT_EQ(c.pence, pence);
            EXPECT_EQ(c.text, AmountOfPence(pence));
        }
    }
    EXPECT_EQ("-92233720368547758.08", AmountOfPence(INT64_MIN));
}

// Today is Tuesday 8 December 2026, the window 30 days (from 8 November).
TEST(Journal, LooksUpTheLatestEarlierExportWithinTheWindow) {
    const std::string bom = "\xEF\xBB\xBF";
    const auto line = [](int month, int day, int processingMonth, int processingDay, const JournalPayment& payment,
                         const std::string& payerAccount = "12345678") {
        JournalRun run = MakeRun("r", day, processingDay, payerAccount);
        run.exported.month = month;
        run.processingDate = OleDateOfDay(2026, processingMonth, processingDay);
        return JournalLine(run, payment);
    };
    const JournalPayment paid = Payment(1, 100);
    struct Case {
        const char* name;
        std::string journal;
        const char* latest;  // of the batch's payment of 100.00 to INV1
    };
    const Case cases[] = {
        {"exported within the window", line(12, 3, 12, 7, paid), "2026-12-03T10:15:00"},
        {"on the window's first day", line(11, 8, 11, 10, paid), "2026-11-08T10:15:00"},
        {"the day before it", line(11, 7, 11, 10, paid), ""},
        {"before it, processed today", line(10, 30, 12, 8, paid), "2026-10-30T10:15:00"},
        {"before it, processed later", line(10, 30, 12, 9, paid), "2026-10-30T10:15:00"},
        {"another paying account", line(12, 3, 12, 7, paid, "12345679"), ""},
        {"a penny more", line(12, 3, 12, 7, Payment(1, 100.01)), ""},
        {"another payee BACS reference", line(12, 3, 12, 7, Payment(1, 100, "INV2")), ""},
        {"the latest of two", line(12, 1, 12, 3, paid) + line(12, 4, 12, 7, paid) + line(12, 2, 12, 7, paid),
         "2026-12-04T10:15:00"},
        {"the second line of a run", line(12, 3, 12, 7, Payment(1, 5)) + line(12, 3, 12, 7, paid),
         "2026-12-03T10:15:00"},
        {"the second line of a run outside the window", line(11, 7, 11, 10, Payment(1, 5)) + line(11, 7, 11, 10, paid),
         ""},
        {"a name in quotes", line(12, 3, 12, 7, Payment(1, 100, "INV1", "A, \"B\"")), "2026-12-03T10:15:00"},
        {"a damaged line", [&] {
             std::string damaged = line(12, 3, 12, 7, paid);
             damaged[damaged.find("SUPPLIER")] = 'T';
             return damaged;
         }(),
         ""},
        {"a torn last line", [&] {
             const std::string whole = line(12, 3, 12, 7, paid);
             return whole.substr(0, whole.size() - 2);
         }(),
         ""},
    };
    ExportedBeforeWindow window;
    window.payerSortCode = "123456";
    window.payerAccountNumber = "12345678";
    window.today = OleDateOfDay(2026, 12, 8) + 0.5;
    window.windowDays = 30;
    const std::vector<PaymentToLookUp> batch = {
        {"65-43-21", "87654321", 100, "INV1"},
        {"654321", "87654321", 100, "INV3"},  // never exported
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CExportedBefore lookup(window, batch);
        lookup.ScanJournal(bom + kHeader + c.journal);
        EXPECT_EQ(c.latest, lookup.LatestExport(0));
        EXPECT_EQ("", lookup.LatestExport(1));
        EXPECT_EQ(*c.latest != '\0' ? 1 : 0, lookup.Count());
        EXPECT_EQ(c.latest, lookup.Latest());
    }
    // The same journals read in parts of any size, each with a line over
    // two lines, a torn line and the next run after it.
    for (const Case& c : cases) {
        const std::string multi = line(11, 20, 11, 24, Payment(1, 100, "INV1", "TWO\r\nLINES"));
        const std::string torn = line(11, 21, 11, 25, paid).substr(0, 50);
        const std::string bytes =
            bom + kHeader + multi + torn + "\r\n" + c.journal + line(11, 22, 11, 26, Payment(1, 5));
        for (const std::size_t size : {std::size_t{1}, std::size_t{7}, std::size_t{100}, bytes.size()}) {
            SCOPED_TRACE(std::string(c.name) + " in parts of " + std::to_string(size));
            CExportedBefore lookup(window, batch);
            lookup.BeginJournal();
            for (std::size_t at = 0; at < bytes.size(); at += size) lookup.ScanJournalPart(bytes.substr(at, size));
            lookup.EndJournal();
            // The name over two lines was paid on 20 November.
            EXPECT_EQ(std::max<std::string>(c.latest, "2026-11-20T10:15:00"), lookup.LatestExport(0));
        }
    }
    // Read from some way into the file: the partial first line is skipped.
    {
        const std::string bytes = bom + kHeader + line(12, 1, 12, 3, paid) + line(12, 2, 12, 7, paid);
        CExportedBefore lookup(window, batch);
        lookup.BeginJournal(false);
        lookup.ScanJournalPart(bytes.substr(bytes.find("\r\n", std::strlen(kHeader) + 10) - 20));
        lookup.EndJournal();
        EXPECT_EQ("2026-12-02T10:15:00", lookup.LatestExport(0));
    }

    // Files of two years: the latest across both.
    CExportedBefore lookup(window, batch);
    lookup.ScanJournal(bom + kHeader + line(12, 4, 12, 7, paid));
    lookup.ScanJournal(bom + kHeader + line(12, 2, 12, 7, paid));
    EXPECT_EQ("2026-12-04T10:15:00", lookup.LatestExport(0));

    EXPECT_EQ(std::vector<int>{2026}, JournalYearsToRead(window));
    window.today = OleDateOfDay(2027, 1, 20);
    EXPECT_EQ((std::vector<int>{2026, 2027}), JournalYearsToRead(window));
}

TEST(Journal, TheDialogTellsPaymentsExportedBefore) {
    struct CellCase {
        PayeeCheck check;
        const char* text;
    };
    const CellCase cells[] = {
        {{AccountCheckResult::Valid, -1, ""}, "valid"},
        {{AccountCheckResult::Valid, -1, "2026-12-03T10:15:00"}, "valid, exported 03/12/2026"},
        {{AccountCheckResult::Invalid, 2, "2026-01-09T23:59:59"}, "invalid, repeats 3, exported 09/01/2026"},
        {{AccountCheckResult::Valid, -1, "2026-12-03T10:15:00", "2026-12-07"},
         "valid, exported 03/12/2026, on statement 07/12/2026"},
    };
    for (const CellCase& c : cells) EXPECT_EQ(c.text, PayeeCheckText(c.check));

    struct QuestionCase {
        long failures, repeats, exported;
        const char* latest;
        const char* question;
    };
    const QuestionCase questions[] = {
        // Without exports before, today's questions byte for byte.
        {2, 1, 0, "", "2 payee accounts fail the bank's account number check and 1 payment repeats an earlier one. "
                      "Export the payment file anyway?"},
        {1, 0, 0, "", "1 payee account fails the bank's account number check. Export the payment file anyway?"},
        {0, 3, 0, "", "3 payments repeat earlier ones. Export the payment file anyway?"},
        {1, 0, 3, "2026-12-03T10:15:00",
         "1 payee account fails the bank's account number check and 3 payments were exported before (the latest "
         "on 3 December 2026). Export the payment file anyway?"},
        {0, 0, 1, "2026-05-21T08:00:00",
         "1 payment was exported before (the latest on 21 May 2026). Export the payment file anyway?"},
        {2, 2, 2, "2026-01-01T00:00:00",
         "2 payee accounts fail the bank's account number check, 2 payments repeat earlier ones and 2 payments were "
         "exported before (the latest on 1 January 2026). Export the payment file anyway?"},
    };
    for (const QuestionCase& c : questions) {
        SCOPED_TRACE(c.question);
        EXPECT_EQ(c.question, PayeeWarningQuestion(c.failures, c.repeats, c.exported, c.latest));
    }
}


// A statement of December 2026 set against the journal. Friday 4 December
// is followed by a weekend; Christmas Day is a Friday, Boxing Day's
// substitute Monday 28.
TEST(Journal, ReconcilesTheStatementsDebitsWithTheRuns) {
    struct Item {
        long row;   // 0: a bulk run
        long line;  // 0: not found
        bool counted;
    };
    struct Case {
        const char* name;
        std::vector<std::pair<JournalRun, std::vector<JournalPayment>>> runs;
        const char* closures;
        std::vector<StatementDebit> debits;  // line, date, pence, narrative
        int firstDay, lastDay;               // the statement's dates in December
        std::vector<Item> items;
        std::vector<long> unexplained;  // their lines
        long found, notFound;
    };
    const auto day = [](int d) { return OleDateOfDay(2026, 12, d) + 0.5; };
    JournalRun bulk = MakeRun("bulk", 3, 7);
    bulk.format = 2;
    const Case cases[] = {
        {"a payment on its processing date",
         {{MakeRun("r", 3, 7), {Payment(1, 10)}}}, "", {{2, day(7), 1000, "INV1"}}, 1, 31, {{1, 2, true}}, {}, 1, 0},
        {"the window across a weekend and a closure: three banking days after Friday 4",
         {{MakeRun("r", 3, 4), {Payment(1, 10), Payment(2, 20), Payment(3, 30)}}}, "2026-12-08 Closure\n",
         {{2, day(10), 1000, ""}, {3, day(11), 2000, ""}, {4, day(3), 3000, ""}}, 1, 31,
         {{1, 2, true}, {2, 0, true}, {3, 0, true}}, {3, 4}, 1, 2},
        {"a bulk run as its total", {{bulk, {Payment(1, 10, "BULK"), Payment(2, 20, "BULK")}}}, "",
         {{2, day(7), 1000, ""}, {3, day(8), 3000, "BULK"}}, 1, 31, {{0, 3, true}}, {2}, 1, 0},
        {"of two candidates, the one that names the payment",
         {{MakeRun("r", 3, 7), {Payment(1, 10, "INV1"), Payment(2, 10, "INV2")}}}, "",
         {{2, day(7), 1000, "BACS inv2"}, {3, day(7), 1000, "BACS INV1"}}, 1, 31, {{1, 3, true}, {2, 2, true}}, {},
         2, 0},
        {"of two candidates naming none, the earliest",
         {{MakeRun("r", 3, 7), {Payment(1, 10, "INV1")}}}, "",
         {{2, day(8), 1000, "OTHER"}, {3, day(7), 1000, "OTHER"}}, 1, 31, {{1, 3, true}}, {2}, 1, 0},
        {"a payment whose window leaves the statement's dates: not counted, its debit explained",
         {{MakeRun("r", 3, 4), {Payment(1, 10)}}}, "", {{2, day(7), 1000, ""}}, 5, 31, {{1, 2, false}}, {}, 0, 0},
        {"a window across Christmas reaches Thursday 31",
         {{MakeRun("r", 3, 24), {Payment(1, 10)}}}, "", {{2, day(31), 1000, ""}}, 1, 30, {{1, 2, false}}, {}, 0, 0},
        {"another paying account", {{MakeRun("r", 3, 7, "99999999"), {Payment(1, 10)}}}, "",
         {{2, day(7), 1000, ""}}, 1, 31, {}, {2}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string journal;
        for (const auto& run : c.runs) journal += JournalAppendText(journal, run.first, run.second);
        CBankClosures closures;
        std::string error;
        ASSERT_TRUE(closures.Parse(c.closures, &error)) << error;
        const Reconciliation result = Reconcile(ReconcileItems(ReadJournal(journal).entries, "123456", "12345678", &closures),
                                                {c.debits, day(c.firstDay), day(c.lastDay)});
        ASSERT_EQ(c.items.size(), result.items.size());
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            EXPECT_EQ(c.items[i].row, result.items[i].row) << i;
            EXPECT_EQ(c.items[i].line, result.items[i].statementLine) << i;
            EXPECT_EQ(c.items[i].counted, result.items[i].counted) << i;
        }
        std::vector<long> unexplained;
        for (const std::size_t i : result.unexplained) unexplained.push_back(c.debits[i].line);
        EXPECT_EQ(c.unexplained, unexplained);
        EXPECT_EQ(c.found, result.found);
        EXPECT_EQ(c.notFound, result.notFound);

        // The matched items, marked as seen on the statement and read back;
        // marks already held are not written again.
        CStatementMarks marks;
        const std::string written =
            StatementMarksAppendText("", result, marks, "C:\\Bank\\march.csv", {2026, 12, 31, 4, 9, 0, 0});
        marks.Read(written);
        for (const ReconcileItem& item : result.items) {
            EXPECT_EQ(item.statementLine != 0 ? FormatIsoDate(item.statementDate) : "", marks.SeenOn(item.run, item.row));
        }
        EXPECT_EQ("", StatementMarksAppendText(written, result, marks, "C:\\Bank\\march.csv", {}));
    }
}

// A marks file whose lines are damaged, or cut short, marks nothing by them;
// a bulk run's mark stands for every payment of the run.
TEST(Journal, StatementMarksSkipDamagedLines) {
    ReconcileItem bulk;
    bulk.run = "bulk";
    bulk.pence = 3000;
    bulk.statementLine = 5;
    bulk.statementDate = OleDateOfDay(2026, 12, 9);
    ReconcileItem payment = bulk;
    payment.run = "r";
    payment.row = 2;
    payment.statementLine = 7;
    Reconciliation result;
    result.items = {bulk, payment};
    const std::string written = StatementMarksAppendText("", result, CStatementMarks(), "march.csv", {2026, 12, 31});
    EXPECT_EQ(0u, written.find("\xEF\xBB\xBFrun,row,amount,statement_date,statement_line,statement_file,imported,crc32\r\n"
                               "bulk,,30.00,2026-12-09,5,march.csv,2026-12-31T00:00:00,"));
    CStatementMarks marks;
    std::string changed = written;
    changed[changed.find("2026-12-09")] = '3';  // the first line's day
    marks.Read(changed.substr(0, changed.size() - 1));  // the last line cut short too
    EXPECT_EQ("", marks.SeenOn("bulk", 0));
    EXPECT_EQ("", marks.SeenOn("r", 2));
    marks.Read(written);
    EXPECT_EQ("2026-12-09", marks.SeenOn("bulk", 4));
    EXPECT_EQ("2026-12-09", marks.SeenOn("r", 2));
    EXPECT_EQ("", marks.SeenOn("r", 1));
}

}  // namespace
}  // namespace paylode
