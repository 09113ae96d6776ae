// The file steps of a payment run: header and record loop, empty batches,
// payments the batch does not return, the bulk list template file and its
// overwrite question, and a fault injected into every file operation of both
// files, which must never leave a truncated file behind.
#include "payments/PaymentFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/FileSystem.h"
#include "common/OleDate.h"
#include "payments/PaymentRecords.h"
#include "payments/RecordOutput.h"
#include "payments/StatusTexts.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace paylode {
namespace {

enum class FileOp { Create, Write, Flush, Close, Replace };

// Files in memory. A new file is written under its own name beside the
// chosen one and moved over it on commit, as on a disk; one chosen step on
// one chosen path fails (for writes, the n-th write, from 0).
class CFaultyFileSystem : public IFileSystem {
public:
    std::map<std::string, std::string> files;
    std::string failPath;
    FileOp failOp = FileOp::Create;
    int failWrite = -1;
    bool failing = false;

    void Fail(const std::string& path, FileOp op, int write = 0) {
        failing = true;
        failPath = path;
        failOp = op;
        failWrite = write;
    }

    bool CanOpenForReading(const std::string& path) override { return files.count(path) != 0; }
    bool IsDevice(const std::string&) override { return false; }
    std::unique_ptr<IOutputFile> CreateReplacement(const std::string& path) override {
        if (Fails(path, FileOp::Create)) return nullptr;
        const std::string temporary = UnfinishedFilePath(path, 1, created_++);
        files[temporary].clear();
        return std::make_unique<CFile>(*this, path, temporary);
    }

private:
    bool Fails(const std::string& path, FileOp op) const { return failing && path == failPath && op == failOp; }

    class CFile : public IOutputFile {
    public:
        CFile(CFaultyFileSystem& owner, std::string path, std::string temporary)
            : owner_(owner), path_(std::move(path)), temporary_(std::move(temporary)) {}
        ~CFile() override { owner_.files.erase(temporary_); }
        bool Write(const char* data, std::size_t size) override {
            const bool fails = owner_.Fails(path_, FileOp::Write) && writes_++ == owner_.failWrite;
            // A failed write may still have put part of its bytes on the disk.
            owner_.files[temporary_].append(data, fails ? size / 2 : size);
            return !fails;
        }
        bool Commit() override {
            for (const FileOp step : {FileOp::Flush, FileOp::Close, FileOp::Replace}) {
                if (owner_.Fails(path_, step)) return false;
            }
            owner_.files[path_] = owner_.files[temporary_];
            return true;
        }

    private:
        CFaultyFileSystem& owner_;
        std::string path_;
        std::string temporary_;
        int writes_ = 0;
    };

    unsigned created_ = 0;
};

using Disk = std::map<std::string, std::string>;

CPaymentValues Payment(const char* name, const char* payeeSortCode = "65-43-21") {
    CPaymentValues payment;
    payment.amount = 10;
    payment.payerSortCode = "12-34-56";
    payment.payerAccountNumber = "12345678";
    payment.payeeSortCode = payeeSortCode;
    payment.payeeAccountNumber = "87654321";
    payment.payeeAccountName = name;
    payment.payeeBACSReference = "INV";
    return payment;
}

CPaymentBatchValues ThreePayments() {
    CPaymentBatchValues batch;
    batch.payments = {Payment("ANNE"), Payment("BRIAN"), Payment("CARLA")};
    return batch;
}

PaymentFileChoices Choices(PaymentFormat format) {
    PaymentFileChoices choices;
    choices.processingDate = OleDateOfDay(2024, 3, 5);
    choices.paymentFormat = format;
    choices.templateName = "STAFF";
    choices.beneficiaryReference = "BEN/1";
    return choices;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string RecordType(const std::string& line) {
    std::size_t column = 1, start = 0;
    for (; column < 4; ++column) start = line.find(',', start) + 1;
    return line.substr(start, 2);
}

std::vector<std::string> RecordTypes(const std::string& text) {
    std::vector<std::string> types;
    for (const std::string& line : Lines(text)) types.push_back(RecordType(line));
    return types;
}

constexpr const char* kPath = "D:\\Pay\\batch.txt";
// An existing template file is kept.
const OverwriteTemplateFile kNeverOverwrite = [](const std::string&) { return false; };

TEST(PaymentFile, AnEmptyBatchGetsAnEmptyFileAndNoHeaderInEveryFormat) {
    for (const PaymentFormat format :
         {PaymentFormat::Standard, PaymentFormat::Template, PaymentFormat::BulkList, PaymentFormat::AdHocBulk}) {
        SCOPED_TRACE(PaymentFormatNumber(format));
        CFaultyFileSystem disk;
        ScopedFileSystem scope(disk);
        CPaymentBatchValues batch;
        const PaymentFileResult result = WritePaymentFile(batch, 0, kPath, Choices(format));
        EXPECT_EQ(PaymentFileEnd::Written, result.end);
        EXPECT_EQ(kRunCompleted, result.StatusValue());
        ASSERT_EQ(1u, disk.files.count(kPath));
        EXPECT_EQ("", disk.files[kPath]);
    }
}

TEST(PaymentFile, AFailedCheckGoesOnToTheNextPaymentAndAFailedHeaderEndsTheFile) {
    {
        CFaultyFileSystem disk;
        ScopedFileSystem scope(disk);
        CPaymentBatchValues batch = ThreePayments();
        batch.payments[1].payeeSortCode = "12345";
        const PaymentFileResult result = WritePaymentFile(batch, 3, kPath, Choices(PaymentFormat::Standard));
        EXPECT_EQ(kRunChecksFailed, result.StatusValue());
        EXPECT_TRUE(result.ReportsFailedChecks());
        EXPECT_EQ(3u, Lines(disk.files[kPath]).size());
        EXPECT_EQ(std::vector<long>({0, kStatusInvalidPayeeSortCode, 0}),
                  std::vector<long>({batch.payments[0].status, batch.payments[1].status, batch.payments[2].status}));
    }
    {
        // The header is made from the first payment's payer account: a bad
        // one leaves the header alone in the file, the others untouched.
        CFaultyFileSystem disk;
        ScopedFileSystem scope(disk);
        CPaymentBatchValues batch = ThreePayments();
        batch.payments[0].payerSortCode = "1234";
        batch.payments[2].status = 1;
        const PaymentFileResult result = WritePaymentFile(batch, 3, kPath, Choices(PaymentFormat::AdHocBulk));
        EXPECT_EQ(kRunChecksFailed, result.StatusValue());
        EXPECT_EQ(std::vector<std::string>({"08"}), RecordTypes(disk.files[kPath]));
        EXPECT_EQ(kStatusInvalidPayerSortCode, batch.payments[0].status);
        EXPECT_EQ(1, batch.payments[2].status);
    }
}

// The journal gets one line for each payment whose record is in the file
// put in place, with the reference that record carries (an IAT record's cut
// to 16 characters, a bulk list record without a roll number paying under
// the header's beneficiary reference); none when no file is put in place
// or a failed header keeps the records out.
TEST(PaymentFile, TheJournalGetsEachPaymentWrittenWithTheReferenceItsRecordCarries) {
    enum class Fault { None, BadHeader, MissingPayment, WriteFails };
    const struct {
        PaymentFormat format;
        Fault fault;
        std::vector<std::string> references;  // empty: no journal lines
    } rows[] = {
        {PaymentFormat::Standard, Fault::None, {"ROLL/7", "ABCDEFGHIJKLMNOP", ""}},
        {PaymentFormat::Template, Fault::None, {"ROLL/7", "ABCDEFGHIJKLMNOP", ""}},
        {PaymentFormat::BulkList, Fault::None, {"ROLL/7", "BEN/1", "BEN/1"}},
        {PaymentFormat::AdHocBulk, Fault::None, {"ROLL/7", "ABCDEFGHIJKLMNOPQR", "12345612345678"}},
        {PaymentFormat::AdHocBulk, Fault::BadHeader, {}},
        {PaymentFormat::Standard, Fault::MissingPayment, {}},
        {PaymentFormat::BulkList, Fault::WriteFails, {}},
    };
    for (std::size_t index = 0; index < std::size(rows); ++index) {
        const auto& row = rows[index];
        SCOPED_TRACE("row " + std::to_string(index));
        CFaultyFileSystem disk;
        ScopedFileSystem scope(disk);
        CPaymentBatchValues batch = ThreePayments();
        batch.payments[0].payeeRollNumber = "ROLL/7";
        batch.payments[0].amount = 1234.5;
        batch.payments[1].payeeBACSReference = "ABCDEFGHIJKLMNOPQRST";
        batch.payments[1].status = 1;  // marked as an IAT
        batch.payments[2].payeeBACSReference = "";
        if (row.fault == Fault::BadHeader) batch.payments[0].payerSortCode = "1234";
        if (row.fault == Fault::MissingPayment) batch.missing.insert(2);
        if (row.fault == Fault::WriteFails) disk.Fail(kPath, FileOp::Write, 2);
        std::vector<JournalPayment> journal = {JournalPayment()};
        WritePaymentFile(batch, 3, kPath, Choices(row.format), {}, &journal);
        std::vector<std::string> references;
        for (const JournalPayment& payment : journal) references.push_back(payment.reference);
        EXPECT_EQ(row.references, references);
        if (journal.size() != 3) continue;
        EXPECT_EQ(3u, Lines(disk.files[kPath]).size() - (HasHeaderRecord(row.format) ? 1 : 0));
        EXPECT_EQ(1, journal[0].row);
        EXPECT_EQ(3, journal[2].row);
        EXPECT_EQ(1234.5, journal[0].amount);
        EXPECT_EQ("ANNE", journal[0].payeeAccountName);
        EXPECT_EQ("65-43-21", journal[1].payeeSortCode);
        EXPECT_EQ("87654321", journal[1].payeeAccountNumber);
        EXPECT_EQ("ABCDEFGHIJKLMNOPQRST", journal[1].payeeBACSReference);
    }
}

// A payment the batch does not return leaves the batch incomplete: no new
// file, and every other payment is still checked, those that pass told that
// the batch was rejected.
TEST(PaymentFile, APaymentTheBatchDoesNotReturnLeavesTheOldFileAndRejectsTheBatch) {
    const struct {
        PaymentFormat format;
        long missing;
        std::vector<long> statuses;
    } rows[] = {
        {PaymentFormat::Standard, 2, {kStatusBatchRejected, kStatusInvalidPayeeAccountName, 5}},
        {PaymentFormat::BulkList, 1, {kStatusBatchRejected, 5, kStatusBatchRejected}},
        {PaymentFormat::AdHocBulk, 0, {5, kStatusBatchRejected, kStatusBatchRejected}},  // no header to make
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(PaymentFormatNumber(row.format));
        CFaultyFileSystem disk;
        disk.files[kPath] = "OLD FILE\r\n";
        ScopedFileSystem scope(disk);
        CPaymentBatchValues batch = ThreePayments();
        if (row.format == PaymentFormat::Standard) batch.payments[1].payeeAccountName = "";
        batch.payments[row.missing].status = 5;
        batch.missing.insert(row.missing);
        const PaymentFileResult result = WritePaymentFile(batch, 3, kPath, Choices(row.format));
        EXPECT_EQ(PaymentFileEnd::CannotFetch, result.end);
        EXPECT_EQ(kRunFileFailed, result.StatusValue());
        EXPECT_FALSE(result.ReportsFailedChecks());
        EXPECT_EQ(Disk({{kPath, "OLD FILE\r\n"}}), disk.files);
        EXPECT_EQ(row.statuses,
                  std::vector<long>({batch.payments[0].status, batch.payments[1].status, batch.payments[2].status}));
    }
}

// Every step of the payment file, failed in turn, with and without a file
// already at the chosen path: the run ends with status value 2, the chosen
// path holds what it held, byte for byte, and nothing else is left; no
// failed check is reported for a file that does not exist, and every
// payment is still checked: the valid ones are told the batch was rejected,
// the others keep their fault.
TEST(PaymentFile, EveryFaultOnThePaymentFileLeavesThePathAsItWasAndStatusTwo) {
    struct Row {
        FileOp op;
        int write;
        PaymentFileEnd end;
    };
    // clang-format off
    const Row rows[] = {
        {FileOp::Create, 0, PaymentFileEnd::CannotCreate}, {FileOp::Write, 0, PaymentFileEnd::WriteFailed},
        {FileOp::Write, 1, PaymentFileEnd::WriteFailed},   {FileOp::Write, 2, PaymentFileEnd::WriteFailed},
        {FileOp::Write, 3, PaymentFileEnd::WriteFailed},   {FileOp::Flush, 0, PaymentFileEnd::WriteFailed},
        {FileOp::Close, 0, PaymentFileEnd::WriteFailed},   {FileOp::Replace, 0, PaymentFileEnd::WriteFailed},
    };
    // clang-format on
    for (const Disk& before : {Disk(), Disk({{kPath, "OLD FILE\r\n"}})}) {
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            SCOPED_TRACE(testing::Message() << "row " << i << (before.empty() ? ", no file before" : ", old file"));
            CFaultyFileSystem disk;
            disk.files = before;
            disk.Fail(kPath, rows[i].op, rows[i].write);
            ScopedFileSystem scope(disk);
            CPaymentBatchValues batch = ThreePayments();
            batch.payments[2].amount = 0;  // a failed check must not turn into S_FALSE
            const PaymentFileResult result = WritePaymentFile(batch, 3, kPath, Choices(PaymentFormat::BulkList));
            EXPECT_EQ(rows[i].end, result.end);
            EXPECT_EQ(kRunFileFailed, result.StatusValue());
            EXPECT_FALSE(result.ReportsFailedChecks());
            EXPECT_EQ(before, disk.files);
            EXPECT_EQ(std::vector<long>({kStatusBatchRejected, kStatusBatchRejected, kStatusInvalidAmount}),
                      std::vector<long>({batch.payments[0].status, batch.payments[1].status, batch.payments[2].status}));
        }
    }
}

// A failure raised while a file is written (a host call that fails) goes on
// to the caller; the new file goes, the old one stays, and the payments that
// had passed their checks are told that the batch was rejected.
TEST(PaymentFile, AFailureRaisedHalfWayLeavesTheOldFilesAsTheyWere) {
    class CFailingBatch : public CPaymentBatchValues {
    public:
        std::unique_ptr<IPaymentView> GetItem(long index) override {
            if (index == 1 && failures-- > 0) throw std::runtime_error("the host failed");
            return CPaymentBatchValues::GetItem(index);
        }
        int failures = 2;
    };
    const Disk before = {{kPath, "OLD FILE\r\n"}, {"D:\\Pay\\STAFF", "OLD TEMPLATE\r\n"}};
    CFaultyFileSystem disk;
    disk.files = before;
    ScopedFileSystem scope(disk);
    CFailingBatch batch;
    batch.payments = ThreePayments().payments;
    EXPECT_THROW(WriteBulkListTemplateFile(batch, DirectoryOfPath(kPath), "STAFF", "BEN/1",
                                           [](const std::string&) { return true; }),
                 std::runtime_error);
    EXPECT_THROW(WritePaymentFile(batch, 3, kPath, Choices(PaymentFormat::Standard)), std::runtime_error);
    EXPECT_EQ(before, disk.files);
    EXPECT_EQ(std::vector<long>({kStatusBatchRejected, 0, 0}),
              std::vector<long>({batch.payments[0].status, batch.payments[1].status, batch.payments[2].status}));
}

// After a run that failed on its way to the caller no payment a writer
// checked keeps "processed successfully" without a file in place behind it:
// not one the template file passed and the payment file never reached, nor
// one checked while a payment file that could not be created was written
// nowhere. Payments no writer reached keep what they held.
TEST(PaymentFile, NoPaymentKeepsSuccessFromARunThatFailedHalfWay) {
    class CFailingBatch : public CPaymentBatchValues {
    public:
        std::unique_ptr<IPaymentView> GetItem(long index) override {
            if (index == failIndex && fetches++ == failFetch) throw std::runtime_error("the host failed");
            return CPaymentBatchValues::GetItem(index);
        }
        long failIndex = 0;
        int failFetch = 0;  // which fetch of that payment fails, from 0
        int fetches = 0;
    };
    struct Row {
        const char* name;
        bool templateFile;
        bool paymentFileCreated;
        long failIndex;  // -1: nothing is raised
        int failFetch;
        bool badFirstPayer;  // the headers' check of the first payment's paying account fails
        std::vector<long> statuses;
    };
    const long kUnreached = 9;
    const long kHeaderFault = -1;  // the payment file's header check, whatever its code
    const long R = kStatusBatchRejected;
    // clang-format off
    const Row rows[] = {
        {"template written, payment file fails at its last payment", true, true, 2, 1, false, {R, R, R}},
        {"template fails at its second payment", true, true, 1, 0, false, {R, kUnreached, kUnreached}},
        {"payment file not created, fails at its second payment", false, false, 1, 0, false,
         {R, kUnreached, kUnreached}},
        {"payment file fails at its second payment", false, true, 1, 0, false, {R, kUnreached, kUnreached}},
        // The header's fault stays; what the template passed and no record
        // reached is rejected with the file that was not made.
        {"template written, header fails, payment file not created", true, false, -1, 0, true,
         {kHeaderFault, R, R}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CFaultyFileSystem disk;
        if (!row.paymentFileCreated) disk.Fail(kPath, FileOp::Create);
        ScopedFileSystem scope(disk);
        CFailingBatch batch;
        batch.payments = ThreePayments().payments;
        for (CPaymentValues& payment : batch.payments) payment.status = kUnreached;
        batch.failIndex = row.failIndex;
        batch.failFetch = row.failFetch;
        if (row.badFirstPayer) batch.payments[0].payerSortCode = "12345";
        const PaymentFileChoices choices = Choices(PaymentFormat::BulkList);
        bool raised = false;
        try {
            std::vector<long> passed;
            if (row.templateFile) {
                WriteBulkListTemplateFile(batch, DirectoryOfPath(kPath), "STAFF", "BEN/1", kNeverOverwrite, &passed);
            }
            WritePaymentFile(batch, 3, kPath, choices, passed);
        } catch (const std::runtime_error&) {
            raised = true;
        }
        EXPECT_EQ(row.failIndex >= 0, raised);
        std::vector<long> statuses({batch.payments[0].status, batch.payments[1].status, batch.payments[2].status});
        if (row.statuses[0] == kHeaderFault) {
            EXPECT_TRUE(statuses[0] != 0 && statuses[0] != R && statuses[0] != kUnreached) << statuses[0];
            statuses[0] = kHeaderFault;
        }
        EXPECT_EQ(row.statuses, statuses);
        EXPECT_EQ(0u, disk.files.count(kPath));
    }
}

TEST(PaymentFile, ATemplateFileNamedAsThePaymentFileIsTheSameFile) {
    struct Row {
        const char* path;
        const char* templateName;
        bool same;
    };
    // clang-format off
    const Row rows[] = {
        {"D:\\Pay\\pay.txt", "PAY.TXT", true},   {"D:\\Pay\\pay.txt", "PAY.TXT. ", true},
        {"D:\\Pay\\STAFF", "staff", true},       {"D:\\Pay\\STAFF.", "STAFF", true},
        {"C:STAFF", "STAFF", true},                 {"STAFF", "STAFF", true},
        {"D:\\Pay\\pay.txt", "PAY", false},       {"D:\\Pay\\pay.txt", "PAY.TXT2", false},
        {"D:\\STAFF\\pay.txt", "STAFF", false},   {"D:\\Pay\\.STAFF", "STAFF", false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.path) + " " + row.templateName);
        EXPECT_EQ(row.same, TemplateFileIsPaymentFile(row.path, row.templateName));
    }
}

const std::string kTemplatePath = "D:\\Pay\\STAFF";

struct TemplateRun {
    TemplateFileEnd end;
    std::vector<MessageRequest> questions;
};

// The template file written as the component writes it, its question to
// the user answered `answer`.
TemplateRun WriteTemplate(CPaymentBatchValues& batch, MessageAnswer answer = MessageAnswer::No) {
    TemplateRun run;
    run.end = WriteBulkListTemplateFile(batch, DirectoryOfPath(kPath), "STAFF", "BEN/1", [&](const std::string& path) {
        run.questions.push_back(TemplateOverwriteQuestion(nullptr, path));
        return answer == MessageAnswer::Yes;
    });
    return run;
}

TEST(BulkListTemplateFile, IsTheHeaderWithItsMarkersAndOneRecordPerPaymentWithoutAmounts) {
    CFaultyFileSystem disk;
    ScopedFileSystem scope(disk);
    CPaymentBatchValues batch = ThreePayments();
    const TemplateRun run = WriteTemplate(batch);
    EXPECT_EQ(TemplateFileEnd::Written, run.end);
    EXPECT_TRUE(run.questions.empty());
    const std::vector<std::string> lines = Lines(disk.files[kTemplatePath]);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(0u, lines[0].find(",,,06,T,STAFF,N,")) << lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ("07", RecordType(lines[i]));
        EXPECT_EQ(std::string::npos, lines[i].find("GBP")) << lines[i];
        EXPECT_EQ(std::string::npos, lines[i].find("10.00")) << lines[i];
    }
}

TEST(BulkListTemplateFile, AnExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        SCOPED_TRACE(static_cast<int>(answer));
        CFaultyFileSystem disk;
        disk.files[kTemplatePath] = "kept\r\n";
        ScopedFileSystem scope(disk);
        CPaymentBatchValues batch = ThreePayments();
        const TemplateRun run = WriteTemplate(batch, answer);
        ASSERT_EQ(1u, run.questions.size());
        EXPECT_EQ("Bulk List Template Exists", run.questions[0].caption);
        EXPECT_EQ("Do you wish to overwrite template file: \r\nD:\\Pay\\STAFF", run.questions[0].text);
        EXPECT_EQ(MessageIcon::Question, run.questions[0].icon);
        EXPECT_EQ(MessageButtons::YesNo, run.questions[0].buttons);
        if (answer == MessageAnswer::Yes) {
            EXPECT_EQ(TemplateFileEnd::Written, run.end);
            EXPECT_EQ(4u, Lines(disk.files[kTemplatePath]).size());
        } else {
            EXPECT_EQ(TemplateFileEnd::Declined, run.end);
            EXPECT_EQ("kept\r\n", disk.files[kTemplatePath]);
        }
    }
}

TEST(BulkListTemplateFile, AnEmptyBatchMakesNoFileAndAsksNothing) {
    CFaultyFileSystem disk;
    disk.files[kTemplatePath] = "kept\r\n";
    ScopedFileSystem scope(disk);
    CPaymentBatchValues batch;
    const TemplateRun run = WriteTemplate(batch);
    EXPECT_EQ(TemplateFileEnd::EmptyBatch, run.end);
    EXPECT_TRUE(run.questions.empty());
    EXPECT_EQ("kept\r\n", disk.files[kTemplatePath]);
}

TEST(BulkListTemplateFile, EveryFaultLeavesTheOldFileAsItWas) {
    const struct {
        FileOp op;
        int write;
        TemplateFileEnd end;
        long missing;  // a payment the batch does not return, or -1
    } rows[] = {
        {FileOp::Create, 0, TemplateFileEnd::CannotCreate, -1}, {FileOp::Write, 0, TemplateFileEnd::WriteFailed, -1},
        {FileOp::Write, 3, TemplateFileEnd::WriteFailed, -1},   {FileOp::Flush, 0, TemplateFileEnd::WriteFailed, -1},
        {FileOp::Close, 0, TemplateFileEnd::WriteFailed, -1},   {FileOp::Replace, 0, TemplateFileEnd::WriteFailed, -1},
        {FileOp::Write, 9, TemplateFileEnd::CannotFetch, 0},    {FileOp::Write, 9, TemplateFileEnd::CannotFetch, 2},
    };
    for (const Disk& before : {Disk(), Disk({{kTemplatePath, "kept\r\n"}})}) {
        for (std::size_t i = 0; i < std::size(rows); ++i) {
            SCOPED_TRACE(testing::Message() << "row " << i << (before.empty() ? ", no file before" : ", old file"));
            CFaultyFileSystem disk;
            disk.files = before;
            disk.Fail(kTemplatePath, rows[i].op, rows[i].write);
            ScopedFileSystem scope(disk);
            CPaymentBatchValues batch = ThreePayments();
            if (rows[i].missing >= 0) batch.missing.insert(rows[i].missing);
            EXPECT_EQ(rows[i].end, WriteTemplate(batch, MessageAnswer::Yes).end);
            EXPECT_EQ(before, disk.files);
        }
    }
}

TEST(PaymentFile, TheTemplateFileLiesInTheDriveAndDirectoryOfThePaymentFile) {
    const struct {
        const char* path;
        const char* directory;
    } rows[] = {
        {"D:\\Pay\\batch.txt", "D:\\Pay\\"},
        {"C:\\batch.txt", "C:\\"},
        {"C:batch.txt", "C:"},
        {"batch.txt", ""},
        {"pay/bulk.txt", "pay/"},
        {"\\\\server\\share\\b.txt", "\\\\server\\share\\"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.directory, DirectoryOfPath(row.path)) << row.path;
}

// The platform's files, in a folder of their own: what the folder holds
// after a commit, after a file dropped without one, and after a commit that
// cannot replace the chosen path (a folder stands there).
TEST(PlatformFileSystem, TheChosenPathHoldsTheOldBytesOrTheWholeNewFile) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(testing::TempDir()) / "paylode-files";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string chosen = (folder / "pay.txt").string();
    const auto contents = [&] {
        std::map<std::string, std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            found[entry.path().filename().string()] =
                entry.is_directory() ? "<folder>" : std::string(std::istreambuf_iterator<char>(in), {});
        }
        return found;
    };
    const auto make = [&](const std::string& text) {
        std::ofstream(chosen, std::ios::binary) << text;
    };
    IFileSystem& files = PlatformFileSystem();
    {
        make("OLD FILE\r\n");
        std::unique_ptr<IOutputFile> file = files.CreateReplacement(chosen);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->Write("NEW\r\n", 5));
        const std::map<std::string, std::string> during = contents();
        ASSERT_EQ(2u, during.size());
        const std::string unfinished = std::next(during.begin())->first.rfind("~paylode-", 0) == 0
                                           ? std::next(during.begin())->first
                                           : during.begin()->first;
        EXPECT_EQ(0u, unfinished.rfind("~paylode-", 0)) << unfinished;
        EXPECT_EQ(".tmp", unfinished.substr(unfinished.size() - 4)) << unfinished;
        EXPECT_EQ("OLD FILE\r\n", during.at("pay.txt"));
        file.reset();
        EXPECT_EQ((std::map<std::string, std::string>{{"pay.txt", "OLD FILE\r\n"}}), contents()) << "dropped";
    }
    {
        std::unique_ptr<IOutputFile> file = files.CreateReplacement(chosen);
        ASSERT_TRUE(file);
        std::string big(200000, 'x');
        ASSERT_TRUE(file->Write(big.data(), big.size()));
        ASSERT_TRUE(file->Write("\r\n", 2));
        EXPECT_TRUE(file->Commit());
        EXPECT_EQ((std::map<std::string, std::string>{{"pay.txt", big + "\r\n"}}), contents()) << "committed";
    }
    {
        fs::remove(chosen);
        fs::create_directory(chosen);
        std::unique_ptr<IOutputFile> file = files.CreateReplacement(chosen);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->Write("NEW\r\n", 5));
        EXPECT_FALSE(file->Commit());
        EXPECT_EQ((std::map<std::string, std::string>{{"pay.txt", "<folder>"}}), contents()) << "cannot replace";
    }
    EXPECT_FALSE(files.CreateReplacement((folder / "missing" / "pay.txt").string())) << "no such folder";
    fs::remove_all(folder);
}

#ifndef _WIN32
// A device cannot be replaced by renaming (that would take it away): it is
// written in place, and a full one fails the commit.
TEST(PlatformFileSystem, WritesADeviceInPlaceAndReportsAFullOne) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    std::unique_ptr<IOutputFile> file = PlatformFileSystem().CreateReplacement("/dev/full");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->Write("0123456789\r\n", 12));
    EXPECT_FALSE(file->Commit());
    struct stat status;
    ASSERT_EQ(0, stat("/dev/full", &status));
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}
#endif

}  // namespace
}  // namespace paylode
