// The payment file's record writers: every record type column by column in
// sterling and euro and in template-file mode, the field rules at their
// edges, and the exact sequence of status changes each check leaves on the
// payment.
#include "payments/PaymentRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/FileSystem.h"
#include "common/OleDate.h"

namespace paylode {
namespace {

using Columns = std::map<int, std::string>;
using Statuses = std::vector<long>;

// A payment that remembers every status it was given.
class CRecordingPayment : public CPaymentValues {
public:
    void SetStatus(long value) override {
        statusCalls.push_back(value);
        CPaymentValues::SetStatus(value);
    }
    Statuses statusCalls;
};

CRecordingPayment ValidPayment() {
    CRecordingPayment payment;
    payment.amount = 1234.5;
    payment.payerSortCode = "12-34-56";
    payment.payerAccountNumber = "12345678";
    payment.payeeBACSReference = "Inv 42";
    payment.payeeSortCode = "65-43-21";
    payment.payeeAccountNumber = "87654321";
    payment.payeeAccountName = "Acme Supplies Ltd";
    return payment;
}

const double kFifthOfMarch2024 = OleDateOfDay(2024, 3, 5);
constexpr RecordCurrency kSterling = RecordCurrency::Sterling;
constexpr RecordFile kPaymentFile = RecordFile::PaymentFile;

// The non-empty columns of one written line, after checking that the line is
// exactly one record of 85 columns ended by CR LF.
Columns ParseRecord(const std::string& text) {
    Columns columns;
    EXPECT_GE(text.size(), 2u);
    if (text.size() < 2) return columns;
    EXPECT_EQ("\r\n", text.substr(text.size() - 2));
    const std::string line = text.substr(0, text.size() - 2);
    EXPECT_EQ(std::string::npos, line.find_first_of("\r\n")) << line;
    int column = 1;
    std::string value;
    for (char c : line + ",") {
        if (c != ',') {
            value += c;
            continue;
        }
        if (!value.empty()) columns[column] = value;
        value.clear();
        ++column;
    }
    EXPECT_EQ(kRecordColumns, column - 1) << line;
    return columns;
}

enum class Writer {
    kStandard,
    kTemplate,
    kBulkList,
    kBulkListTemplateFile,
    kBulkHeader,
    kBulkHeaderTemplateFile,
    kAdHocHeader,
    kAdHocRecord
};

struct Written {
    bool ok;
    std::string text;
};

Written Write(Writer writer, CRecordingPayment& payment, bool ireland = false) {
    CStringRecordOutput out;
    const RecordCurrency currency = CurrencyFor(ireland);
    bool ok = false;
    switch (writer) {
    case Writer::kStandard:
        ok = WritePaymentRecord(out, payment, kFifthOfMarch2024, PaymentFormat::Standard, "Staff Pay", currency,
                                kPaymentFile);
        break;
    case Writer::kTemplate:
        ok = WritePaymentRecord(out, payment, kFifthOfMarch2024, PaymentFormat::Template, "Staff Pay", currency,
                                kPaymentFile);
        break;
    case Writer::kBulkList:
        ok = WritePaymentRecord(out, payment, kFifthOfMarch2024, PaymentFormat::BulkList, "Staff Pay", currency,
                                kPaymentFile);
        break;
    case Writer::kBulkListTemplateFile:
        ok = WritePaymentRecord(out, payment, kNoProcessingDate, PaymentFormat::BulkList, "Staff Pay", currency,
                                RecordFile::TemplateFile);
        break;
    case Writer::kBulkHeader:
        ok = WriteBulkListHeader(out, payment, kFifthOfMarch2024, "Staff Pay", "Ben/Ref 1", kPaymentFile);
        break;
    case Writer::kBulkHeaderTemplateFile:
        ok = WriteBulkListHeader(out, payment, kNoProcessingDate, "Staff Pay", "Ben/Ref 1", RecordFile::TemplateFile);
        break;
    case Writer::kAdHocHeader:
        ok = WriteAdHocHeader(out, payment, kFifthOfMarch2024, "Ben/Ref 1", "C:\\Pay\\batch_1.txt");
        break;
    case Writer::kAdHocRecord: ok = WriteAdHocRecord(out, payment, currency); break;
    }
    return {ok, out.Text()};
}

TEST(PaymentRecords, EveryRecordTypeColumnByColumn) {
    const Columns payer{{13, "12345612345678"}};
    struct Row {
        Writer writer;
        long statusBefore;  // 1 marks an IAT in formats 0 and 1
        bool ireland;
        Columns expected;
    };
    // clang-format off
    const Row rows[] = {
        // standard record: no currency, payee columns, reference in 37
        {Writer::kStandard, 0, false,
         {{4, "01"}, {13, "12345612345678"}, {17, "1234.50"}, {19, "05032024"}, {25, "654321"},
          {31, "87654321"}, {33, "ACME SUPPLIES LTD"}, {37, "INV 42"}}},
        {Writer::kStandard, 0, true,
         {{4, "01"}, {13, "12345612345678"}, {17, "1234.50"}, {19, "05032024"}, {25, "654321"},
          {31, "87654321"}, {33, "ACME SUPPLIES LTD"}, {37, "INV 42"}}},
        // template record: template name, currency, no payee columns
        {Writer::kTemplate, 0, false,
         {{4, "01"}, {6, "STAFF PAY"}, {13, "12345612345678"}, {16, "GBP"}, {17, "1234.50"},
          {19, "05032024"}, {37, "INV 42"}}},
        {Writer::kTemplate, 0, true,
         {{4, "01"}, {6, "STAFF PAY"}, {13, "12345612345678"}, {16, "EUR"}, {17, "1234.50"},
          {19, "05032024"}, {37, "INV 42"}}},
        // IAT records: reference in 40, no name; payee columns in format 0 only
        {Writer::kStandard, 1, false,
         {{4, "03"}, {13, "12345612345678"}, {16, "GBP"}, {17, "1234.50"}, {19, "05032024"},
          {25, "654321"}, {31, "87654321"}, {40, "INV 42"}}},
        {Writer::kStandard, 7, true,
         {{4, "03"}, {13, "12345612345678"}, {16, "EUR"}, {17, "1234.50"}, {19, "05032024"},
          {25, "654321"}, {31, "87654321"}, {40, "INV 42"}}},
        {Writer::kTemplate, 1, false,
         {{4, "03"}, {6, "STAFF PAY"}, {13, "12345612345678"}, {16, "GBP"}, {17, "1234.50"},
          {19, "05032024"}, {40, "INV 42"}}},
        // bulk list record: no payer, no date; the IAT mark is not read
        {Writer::kBulkList, 1, false,
         {{4, "07"}, {8, "INV 42"}, {16, "GBP"}, {17, "1234.50"}, {25, "654321"}, {31, "87654321"},
          {33, "ACME SUPPLIES LTD"}}},
        {Writer::kBulkList, 0, true,
         {{4, "07"}, {8, "INV 42"}, {16, "EUR"}, {17, "1234.50"}, {25, "654321"}, {31, "87654321"},
          {33, "ACME SUPPLIES LTD"}}},
        {Writer::kBulkListTemplateFile, 0, true,
         {{4, "07"}, {8, "INV 42"}, {25, "654321"}, {31, "87654321"}, {33, "ACME SUPPLIES LTD"}}},
        // headers
        {Writer::kBulkHeader, 0, false,
         {{4, "06"}, {6, "STAFF PAY"}, {13, "12345612345678"}, {19, "05032024"}, {37, "BEN/REF 1"}}},
        {Writer::kBulkHeaderTemplateFile, 0, false,
         {{4, "06"}, {5, "T"}, {6, "STAFF PAY"}, {7, "N"}, {13, "12345612345678"}, {37, "BEN/REF 1"}}},
        {Writer::kAdHocHeader, 0, false,
         {{4, "08"}, {9, "BATCH1.TXT"}, {13, "12345612345678"}, {19, "05032024"}, {37, "BEN/REF 1"}}},
        // ad hoc bulk record
        {Writer::kAdHocRecord, 1, false,
         {{4, "09"}, {16, "GBP"}, {17, "1234.50"}, {25, "654321"}, {31, "87654321"},
          {33, "ACME SUPPLIES LTD"}, {37, "INV 42"}}},
        {Writer::kAdHocRecord, 0, true,
         {{4, "09"}, {16, "EUR"}, {17, "1234.50"}, {25, "654321"}, {31, "87654321"},
          {33, "ACME SUPPLIES LTD"}, {37, "INV 42"}}},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CRecordingPayment payment = ValidPayment();
        payment.status = rows[i].statusBefore;
        const Written written = Write(rows[i].writer, payment, rows[i].ireland);
        EXPECT_TRUE(written.ok);
        EXPECT_EQ(rows[i].expected, ParseRecord(written.text));
        EXPECT_EQ(Statuses{0}, payment.statusCalls);
    }
}

TEST(PaymentRecords, ByteExactLines) {
    const std::string tail48(48, ',');
    struct Row {
        Writer writer;
        std::string line;
    };
    // clang-format off
    const Row rows[] = {
        {Writer::kStandard,
         ",,,01,,,,,,,,,12345612345678,,,,1234.50,,05032024,,,,,,654321,,,,,,87654321,,"
         "ACME SUPPLIES LTD,,,,INV 42" + tail48 + "\r\n"},
        {Writer::kBulkHeaderTemplateFile,
         ",,,06,T,STAFF PAY,N,,,,,,12345612345678,,,,,,,,,,,,,,,,,,,,,,,,BEN/REF 1" + tail48 + "\r\n"},
        {Writer::kAdHocRecord,
         ",,,09,,,,,,,,,,,,GBP,1234.50,,,,,,,,654321,,,,,,87654321,,ACME SUPPLIES LTD,,,,INV 42" +
             tail48 + "\r\n"},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CRecordingPayment payment = ValidPayment();
        EXPECT_EQ(rows[i].line, Write(rows[i].writer, payment).text);
    }
}

// One change to a valid payment, the writer, the columns expected (only those
// listed are compared; "" means the column must be empty) and the statuses.
struct EdgeRow {
    const char* what;
    Writer writer;
    std::function<void(CRecordingPayment&)> change;
    Columns expected;
    Statuses statuses;
};

TEST(PaymentRecords, FieldRulesAndChecks) {
    const std::string long255(254, '\'');
    // clang-format off
    const EdgeRow rows[] = {
        {"amount 0", Writer::kStandard, [](auto& p) { p.amount = 0; }, {{17, "0.00"}}, {0, 21}},
        {"negative amount", Writer::kStandard, [](auto& p) { p.amount = -12.5; }, {{17, "-12.50"}}, {0, 21}},
        {"a penny", Writer::kStandard, [](auto& p) { p.amount = 0.01; }, {{17, "0.01"}}, {0}},
        {"at the threshold", Writer::kStandard, [](auto& p) { p.amount = 4.999999987376214e-07; },
         {{17, "0.00"}}, {0, 21}},
        {"just above the threshold", Writer::kStandard, [](auto& p) { p.amount = 5e-7; },
         {{17, "0.00"}}, {0, 21}},
        // What is written decides: an amount that shows as 0.00 pays nothing.
        {"under half a penny", Writer::kStandard, [](auto& p) { p.amount = 0.004; }, {{17, "0.00"}}, {0, 21}},
        {"just under half a penny", Writer::kAdHocRecord, [](auto& p) { p.amount = 0.00499; },
         {{17, "0.00"}}, {0, 21}},
        {"under half a penny, bulk list", Writer::kBulkList, [](auto& p) { p.amount = 0.0049999999; },
         {{17, "0.00"}}, {0, 21}},
        {"under half a penny in the template file", Writer::kBulkListTemplateFile,
         [](auto& p) { p.amount = 0.004; }, {{17, ""}}, {0, 21}},
        {"negative under half a penny", Writer::kStandard, [](auto& p) { p.amount = -0.004; },
         {{17, "-0.00"}}, {0, 21}},
        {"not a number", Writer::kAdHocRecord, [](auto& p) { p.amount = std::nan(""); }, {}, {0, 21}},
        {"infinite", Writer::kStandard, [](auto& p) { p.amount = HUGE_VAL; }, {}, {0, 21}},
        {"infinite, ad hoc", Writer::kAdHocRecord, [](auto& p) { p.amount = HUGE_VAL; }, {}, {0, 21}},
        {"minus infinity", Writer::kStandard, [](auto& p) { p.amount = -HUGE_VAL; }, {}, {0, 21}},
        {"largest amount", Writer::kStandard, [](auto& p) { p.amount = 1e300; }, {}, {0}},
        {"rounding", Writer::kStandard, [](auto& p) { p.amount = 2.675; }, {{17, "2.67"}}, {0}},
        {"rounding up", Writer::kStandard, [](auto& p) { p.amount = 0.005; }, {{17, "0.01"}}, {0}},
        {"no thousands separator", Writer::kStandard, [](auto& p) { p.amount = 1234567.891; },
         {{17, "1234567.89"}}, {0}},
        {"amount checked in the template file", Writer::kBulkListTemplateFile,
         [](auto& p) { p.amount = 0; }, {{17, ""}}, {0, 21}},
        {"payee sort code with dashes", Writer::kStandard, [](auto& p) { p.payeeSortCode = "12-34-56"; },
         {{25, "123456"}}, {0}},
        {"payee sort code of 7 digits", Writer::kStandard, [](auto& p) { p.payeeSortCode = "1234567"; },
         {{25, "123456"}}, {0, 28}},
        {"payee sort code of 5 digits", Writer::kBulkList, [](auto& p) { p.payeeSortCode = "12345"; },
         {{25, "12345 "}}, {0, 28}},
        {"payee sort code missing", Writer::kAdHocRecord, [](auto& p) { p.payeeSortCode = ""; },
         {{25, "      "}}, {0, 28}},
        {"payee sort code checked in template record", Writer::kTemplate,
         [](auto& p) { p.payeeSortCode = "1"; }, {{25, ""}}, {0, 28}},
        {"payee account of 7 digits", Writer::kStandard, [](auto& p) { p.payeeAccountNumber = "1234567"; },
         {{31, "01234567"}}, {0, 29}},
        {"payee account with a letter", Writer::kStandard, [](auto& p) { p.payeeAccountNumber = "1234567A"; },
         {{31, "1234567A"}}, {0, 29}},
        {"payee account of 9 digits", Writer::kAdHocRecord, [](auto& p) { p.payeeAccountNumber = "123456789"; },
         {{31, "12345678"}}, {0, 29}},
        {"payee account with a comma", Writer::kStandard, [](auto& p) { p.payeeAccountNumber = "1234,567"; },
         {{31, "1234?567"}, {33, "ACME SUPPLIES LTD"}}, {0, 29}},
        {"payee account with CR LF", Writer::kBulkList, [](auto& p) { p.payeeAccountNumber = "12\r\n3456"; },
         {{31, "12??3456"}, {33, "ACME SUPPLIES LTD"}}, {0, 29}},
        {"payer account with a quote", Writer::kStandard, [](auto& p) { p.payerAccountNumber = "\"1234567"; },
         {{13, "123456?1234567"}}, {0, 24}},
        {"payer sort code of 5 digits", Writer::kStandard, [](auto& p) { p.payerSortCode = "12345"; },
         {{13, "01234512345678"}}, {0, 23}},
        {"payer account of 7 digits", Writer::kAdHocHeader, [](auto& p) { p.payerAccountNumber = "1234567"; },
         {{13, "12345601234567"}}, {0, 24}},
        {"payer account missing", Writer::kBulkHeader, [](auto& p) { p.payerAccountNumber = ""; },
         {{13, "12345600000000"}}, {0, 24}},
        {"payer sort code too long", Writer::kTemplate, [](auto& p) { p.payerSortCode = "1234567"; },
         {{13, "12345612345678"}}, {0, 23}},
        {"payee name filtered", Writer::kStandard,
         [](auto& p) { p.payeeAccountName = "O'Brien & Sons, Ltd"; }, {{33, "OBRIEN & SONS LTD"}}, {0}},
        {"payee name cut to 35", Writer::kAdHocRecord,
         [](auto& p) { p.payeeAccountName = "abcdefghij abcdefghij abcdefghij abcdefghij"; },
         {{33, "ABCDEFGHIJ ABCDEFGHIJ ABCDEFGHIJ AB"}}, {0}},
        {"payee name missing", Writer::kStandard, [](auto& p) { p.payeeAccountName = ""; },
         {{33, ""}}, {0, 30}},
        {"payee name with nothing the bank accepts", Writer::kBulkList,
         [](auto& p) { p.payeeAccountName = "???"; }, {{33, ""}}, {0, 30}},
        {"payee name not needed for an IAT", Writer::kStandard,
         [](auto& p) { p.payeeAccountName = ""; p.status = 1; }, {{4, "03"}}, {0}},
        {"payee name not needed for a template", Writer::kTemplate,
         [](auto& p) { p.payeeAccountName = ""; }, {{4, "01"}}, {0}},
        {"value cut to 255 characters before filtering", Writer::kStandard,
         [&](auto& p) { p.payeeAccountName = (long255 + "AB").c_str(); }, {{33, "A"}}, {0}},
        {"sort code cut to 255 characters before its digits", Writer::kStandard,
         [](auto& p) { p.payeeSortCode = (std::string(255, '-') + "123456").c_str(); },
         {{25, "      "}}, {0, 28}},
        {"payer sort code and payee account both bad", Writer::kStandard,
         [](auto& p) { p.payerSortCode = "1"; p.payeeAccountNumber = "1"; }, {}, {0, 23, 29}},
        {"every check fails, in order", Writer::kStandard,
         [](auto& p) {
             p.payerSortCode = ""; p.payerAccountNumber = "x"; p.amount = 0;
             p.payeeSortCode = ""; p.payeeAccountNumber = ""; p.payeeAccountName = "";
         },
         {}, {0, 23, 24, 21, 28, 29, 30}},
        {"ad hoc record checks in order", Writer::kAdHocRecord,
         [](auto& p) {
             p.payerSortCode = ""; p.amount = -1; p.payeeSortCode = ""; p.payeeAccountNumber = "";
             p.payeeAccountName = "";
         },
         {}, {0, 21, 28, 29, 30}},
        {"headers check only the payer", Writer::kBulkHeader,
         [](auto& p) { p.amount = 0; p.payerSortCode = ""; p.payerAccountNumber = ""; p.payeeSortCode = ""; },
         {}, {0, 23, 24}},
        {"ad hoc header checks only the payer", Writer::kAdHocHeader,
         [](auto& p) { p.amount = 0; p.payeeAccountName = ""; p.payerSortCode = "1"; }, {}, {0, 23}},
        {"roll number replaces the reference", Writer::kStandard,
         [](auto& p) { p.payeeRollNumber = "roll-7/x"; }, {{37, "ROLL-7/X"}}, {0}},
        {"roll number in a template record", Writer::kTemplate,
         [](auto& p) { p.payeeRollNumber = "R1"; }, {{37, "R1"}}, {0}},
        {"roll number in an IAT record", Writer::kStandard,
         [](auto& p) { p.payeeRollNumber = "R1"; p.status = 1; }, {{37, ""}, {40, "R1"}}, {0}},
        {"roll number in an ad hoc record", Writer::kAdHocRecord,
         [](auto& p) { p.payeeRollNumber = "R1"; }, {{37, "R1"}}, {0}},
        {"roll number in a bulk list record", Writer::kBulkList,
         [](auto& p) { p.payeeRollNumber = "R1"; }, {{8, "INV 42"}, {37, "R1"}}, {0}},
        {"reference cut to 18", Writer::kStandard,
         [](auto& p) { p.payeeBACSReference = "123456789 123456789"; }, {{37, "123456789 12345678"}}, {0}},
        {"IAT reference cut to 16", Writer::kTemplate,
         [](auto& p) { p.payeeBACSReference = "123456789 123456789"; p.status = 1; },
         {{40, "123456789 123456"}}, {0}},
        {"bulk list reference cut to 25", Writer::kBulkList,
         [](auto& p) { p.payeeBACSReference = "123456789 123456789 123456789"; },
         {{8, "123456789 123456789 12345"}}, {0}},
        {"ad hoc reference from the payer", Writer::kAdHocRecord,
         [](auto& p) { p.payeeBACSReference = ""; }, {{37, "12345612345678"}}, {0}},
        {"ad hoc reference from the payer's digits", Writer::kAdHocRecord,
         [](auto& p) { p.payeeBACSReference = ""; p.payerSortCode = "1-2-3-4-5-6-7"; p.payerAccountNumber = "ab123456789"; },
         {{37, "12345612345678"}}, {0}},
        {"IAT mark replaced by success", Writer::kTemplate, [](auto& p) { p.status = 1; }, {{4, "03"}}, {0}},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(std::to_string(i) + ": " + rows[i].what);
        CRecordingPayment payment = ValidPayment();
        rows[i].change(payment);
        const Written written = Write(rows[i].writer, payment);
        const Columns columns = ParseRecord(written.text);
        for (const auto& [column, value] : rows[i].expected) {
            const auto found = columns.find(column);
            EXPECT_EQ(value, found == columns.end() ? "" : found->second) << "column " << column;
        }
        EXPECT_EQ(rows[i].statuses, payment.statusCalls);
        EXPECT_EQ(rows[i].statuses.back(), payment.status);
        EXPECT_EQ(rows[i].statuses.size() == 1, written.ok);
    }
}

TEST(PaymentRecords, TemplateNameWidthsAndDates) {
    const char* twenty = "abcdefghij-klmnopqrs";
    struct Row {
        std::function<void(IRecordOutput&, CRecordingPayment&)> write;
        Columns expected;
    };
    // clang-format off
    const Row rows[] = {
        {[&](auto& out, auto& p) { WritePaymentRecord(out, p, kFifthOfMarch2024, PaymentFormat::Template, twenty, kSterling, kPaymentFile); },
         {{6, "ABCDEFGHIJ-KLMNOPQRS"}}},
        {[&](auto& out, auto& p) { p.status = 1; WritePaymentRecord(out, p, kFifthOfMarch2024, PaymentFormat::Template, twenty, kSterling, kPaymentFile); },
         {{6, "ABCDEFGHIJ-KLMNOPQRS"}}},
        {[&](auto& out, auto& p) { p.status = 1; WritePaymentRecord(out, p, kFifthOfMarch2024, PaymentFormat::Standard, twenty, kSterling, kPaymentFile); },
         {{6, ""}}},
        {[&](auto& out, auto& p) { WriteBulkListHeader(out, p, kFifthOfMarch2024, twenty, "", kPaymentFile); },
         {{6, "ABCDEFGHIJ-KLMNOPQ"}, {37, ""}}},
        {[&](auto& out, auto& p) { WritePaymentRecord(out, p, OleDateOfDay(1999, 12, 31) + 0.75, PaymentFormat::Standard, "", kSterling, kPaymentFile); },
         {{19, "31121999"}}},
        {[&](auto& out, auto& p) { WriteAdHocHeader(out, p, OleDateOfDay(2030, 1, 9), "", "/tmp/a.b/pay ments.csv"); },
         {{9, "PAY MENTS.CSV"}, {19, "09012030"}}},
        {[&](auto& out, auto& p) { WriteAdHocHeader(out, p, 0, "", "a-very-long-payment-file-name.txt"); },
         {{9, "A-VERY-LONG-PAYM"}, {19, "30121899"}}},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CRecordingPayment payment = ValidPayment();
        CStringRecordOutput out;
        rows[i].write(out, payment);
        const Columns columns = ParseRecord(out.Text());
        for (const auto& [column, value] : rows[i].expected) {
            const auto found = columns.find(column);
            EXPECT_EQ(value, found == columns.end() ? "" : found->second) << "column " << column;
        }
    }
}

TEST(PaymentRecords, FileOutputWritesCrLfBytes) {
    const std::string path = testing::TempDir() + "paylode-records-crlf.txt";
    {
        std::unique_ptr<IOutputFile> file = PlatformFileSystem().CreateReplacement(path);
        ASSERT_NE(nullptr, file);
        CFileRecordOutput out(*file);
        CRecordingPayment payment = ValidPayment();
        WriteAdHocRecord(out, payment, kSterling);
        WriteAdHocRecord(out, payment, kSterling);
        ASSERT_TRUE(out.Commit());
    }
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
        std::fclose(file);
    }
    std::remove(path.c_str());
    CRecordingPayment payment = ValidPayment();
    CStringRecordOutput expected;
    WriteAdHocRecord(expected, payment, kSterling);
    EXPECT_EQ(expected.Text() + expected.Text(), text);
}

}  // namespace
}  // namespace paylode
