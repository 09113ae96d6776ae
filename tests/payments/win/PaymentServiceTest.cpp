// Under Wine: the payment service's run against the reference host (its
// registered bank settings object, its batch, payments and account), with
// the settings file in the prefix's common application-data folder, files in
// a folder of the test's own, and the two dialogs answered through their
// seams. The payment and template files are compared byte for byte with
// what `paylode export` writes for the same batch and answers.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/DebugOutput.h"
#include "common/FileSystem.h"
#include "common/MessageBox.h"
#include "common/OleDate.h"
#include "common/Sha256.h"
#include "combase/ComPointers.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "payments/Journal.h"
#include "payments/PaymentFile.h"
#include "payments/PaymentRecords.h"
#include "payments/StatusTexts.h"
#include "payments/win/BankPaymentService.h"
#include "payments/win/ComponentTables.h"
#include "payments/win/JournalFile.h"
#include "payments/win/JournalSettings.h"
#include "payments/win/PaymentOptionsSeam.h"
#include "payments/win/PaymentRun.h"
#include "payments/win/SaveFileDialog.h"
#include "referencehost/DialogDrivers.h"
#include "resources/resource.h"
#include "referencehost/HostPayments.h"
#include "support/FakeDispatch.h"
#include "support/HResultAssert.h"
#include "support/MessageBoxRig.h"
#include "support/ReferenceHostFixture.h"
#include "support/ScratchFolders.h"
#include "combase/Module.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

namespace paylode {
namespace {

using Microsoft::WRL::ComPtr;
using referencehost::CHostBankAccount;
using referencehost::CHostCallLog;
using referencehost::CHostPayments;
using referencehost::PaymentData;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<no file " + path + ">";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

long Lines(const std::string& text) {
    long lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
    return lines;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What `paylode export` wrote for tests/cli/export/batch.csv, kept beside
// that batch in the source tree (reached through Wine's Z: drive).
std::string ExpectedExport(const char* name) {
    return ReadBytes(std::string("Z:") + PAYLODE_SOURCE_DIR + "/tests/cli/export/" + name);
}

// tests/cli/export/batch.csv as the host hands it over.
std::vector<PaymentData> ExportBatch() {
    PaymentData first;
    first.payeeAccountName = L"O'Brien & Sons, Ltd";
    first.amount = 1234.5;
    first.payerSortCode = L"12-34-56";
    first.payerAccountNumber = L"12345678";
    first.payeeBACSReference = L"Inv 42";
    first.payeeSortCode = L"65-43-21";
    first.payeeAccountNumber = L"87654321";
    first.details = L"two\r\nlines";
    PaymentData second;
    second.payeeAccountName = L"Caf\u00e9 \u0141\u00f3d\u017a";
    second.amount = 0;
    second.payerSortCode = L"12-34-56";
    second.payerAccountNumber = L"12345678";
    second.payeeSortCode = L"1234567";
    second.payeeAccountNumber = L"12,34";
    second.payeeRollNumber = L"R-7";
    second.status = 1;
    PaymentData third;
    third.payeeAccountName = L"Smith \"Joinery\"";
    third.amount = 99.999;
    third.payerSortCode = L"12 34 56";
    third.payerAccountNumber = L"12345678";
    third.payeeSortCode = L"11-22-33";
    third.payeeAccountNumber = L"11223344";
    return {first, second, third};
}

PaymentData GoodPayment() {
    PaymentData payment;
    payment.amount = 10;
    payment.payerSortCode = L"12-34-56";
    payment.payerAccountNumber = L"12345678";
    payment.payeeSortCode = L"65-43-21";
    payment.payeeAccountNumber = L"87654321";
    payment.payeeAccountName = L"ANNE";
    return payment;
}

// What the payment options dialog answers, and what it was given.
struct DialogScript {
    bool ok = true;
    double processingDate = OleDateOfDay(2024, 3, 5);
    std::string templateName;
    std::string reference;
    PaymentFormat format = PaymentFormat::Standard;
    int ireland = 0;
    std::vector<long> iatMarks;  // payments the user marks as IATs

    int shown = 0;
    std::string givenTemplate = "<not made>";
    std::string givenReference = "<not made>";
    int givenIreland = -1;
};

class CScriptedDialog : public IPaymentOptionsDialog {
public:
    CScriptedDialog(DialogScript& script, ITorvoBankPayments* batch) : script_(script), batch_(batch) {}
    bool ShowModal(HWND) override {
        ++script_.shown;
        // Set stores the IAT mark in the payment's status at once.
        for (long index : script_.iatMarks) {
            ComPtr<ITorvoBankPayment> payment;
            if (SUCCEEDED(batch_->GetItem(index, &payment))) payment->SetStatus(1);
        }
        return script_.ok;
    }
    double GetProcessingDate() override { return script_.processingDate; }
    CString GetTemplateName() override { return script_.templateName.c_str(); }
    CString GetBeneficiaryReference() override { return script_.reference.c_str(); }
    PaymentFormat GetPaymentFormat() override { return script_.format; }
    int GetIrelandPayment() override { return script_.ireland; }

private:
    DialogScript& script_;
    ComPtr<ITorvoBankPayments> batch_;
};

// A batch that passes every call to the host's batch but returns no payment
// at one index.
class CBatchWithHole : public test::CFakeDispatch<ITorvoBankPayments> {
public:
    CBatchWithHole(ITorvoBankPayments* batch, long hole) : CFakeDispatch(1), batch_(batch), hole_(hole) {}
    HRESULT STDMETHODCALLTYPE GetItem(long index, ITorvoBankPayment** payment) override {
        if (index == hole_) return E_FAIL;
        return batch_->GetItem(index, payment);
    }
    HRESULT STDMETHODCALLTYPE GetCount(long* count) override { return batch_->GetCount(count); }

private:
    ITorvoBankPayments* batch_;
    long hole_;
};

std::string CommonAppData() {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

class PaymentService : public referencehost::ReferenceHostFixture {
protected:
    void SetUp() override {
        ReferenceHostFixture::SetUp();
        // The component's string table, from the DLL itself.
        resources_ = LoadLibraryExW(testrig::PathBesideProgram(L"TorvoKelmarBankPaylode.DLL").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, resources_);
        previousModule_ = CModule::Instance();
        CModule::Attach(resources_);

        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        static int run = 0;
        folder_ =
            std::string(temp) + "paylode-run-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++run);
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        Configure("[PaymentFile]\r\nFileName=Payments.\r\nExtension=csv\r\nDirectory=" + folder_);

        // The runs' journal goes to a folder of the test's own, so that no
        // test sees another's runs.
        journalFolder_ = folder_ + "-journal";
        journalSettings_.emplace([this] {
            JournalSettings settings;
            settings.folder = WideFromAnsi(journalFolder_.c_str());
            settings.days = journalDays_;
            return settings;
        });

        torvo_ = CommonAppData() + "\\TORVO";
        settingsFolder_ = torvo_ + "\\Torvo EBanking";
        settingsFile_ = settingsFolder_ + "\\BANKSERV.INI";
        RemoveSettings();
        CreateDirectoryA(torvo_.c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(settingsFolder_.c_str(), nullptr));
    }
    void TearDown() override {
        RemoveSettings();
        journalSettings_.reset();
        for (const std::string& folder : {folder_, journalFolder_}) testrig::RemoveFilesAndFolder(folder);
        CModule::Attach(previousModule_);
        FreeLibrary(resources_);
        ReferenceHostFixture::TearDown();
    }
    // The settings folder holds the journal (and statement marks) of runs
    // that went past the journal seam (a host program's): they go with it.
    void RemoveSettings() {
        DeleteFileA(settingsFile_.c_str());
        testrig::RemoveFilesAndFolder(settingsFolder_, "Paylode*.csv");
        RemoveDirectoryA(torvo_.c_str());
    }

    void SetSetting(const char* key, const char* value) {
        WritePrivateProfileStringA("MIGRATED", key, value, settingsFile_.c_str());
    }
    std::string Setting(const std::string& key) {
        char text[512] = {};
        GetPrivateProfileStringA("MIGRATED", key.c_str(), "<absent>", text, sizeof text, settingsFile_.c_str());
        return text;
    }

    std::string PathOf(const std::string& name) const { return folder_ + "\\" + name; }

    ComPtr<CHostPayments> Batch(const std::vector<PaymentData>& payments) {
        return MakeComObject<CHostPayments>(log_, payments);
    }

    // Runs the service with the dialogs answered: the options dialog by
    // `dialog`, the save dialog with `saveAs` (cancelled when empty).
    HRESULT Run(ITorvoBankPayments* batch, ITorvoBankAccount* account, DialogScript& dialog,
                const std::string& saveAs) {
        ScopedPaymentOptionsDialogFactory dialogs(
            [&](ITorvoBankPayments* payments, const CString& templateName, const CString& reference, int ireland) {
                dialog.givenTemplate = templateName.GetString();
                dialog.givenReference = reference.GetString();
                dialog.givenIreland = ireland;
                return std::make_unique<CScriptedDialog>(dialog, payments);
            });
        ScopedSaveFileDialogHandler saves([&](const SaveFileRequest& request) {
            saveRequests_.push_back(request);
            if (saveFailure_ != 0) return SaveFileChoice::Failed(saveFailure_);
            if (saveAs.empty()) return SaveFileChoice();
            return SaveFileChoice(saveAs);
        });
        ScopedMessageBoxHandler boxes([&](const MessageRequest& request) {
            messages_.push_back(request);
            return answer_;
        });
        const HRESULT result = service_->ProcessPayments(batch, account);
        service_->GetServiceStatus(&status_);
        return result;
    }

    std::shared_ptr<CHostCallLog> log_ = std::make_shared<CHostCallLog>();
    ComPtr<IBankPaymentService> service_ = [] {
        ComPtr<IBankPaymentService> service;
        CreateBankPaymentService(nullptr, IID_IBankPaymentService, &service);
        return service;
    }();
    LONG status_ = -1;
    std::vector<SaveFileRequest> saveRequests_;
    unsigned long saveFailure_ = 0;  // the save dialog's extended error, 0 for none
    std::vector<MessageRequest> messages_;
    MessageAnswer answer_ = MessageAnswer::Ok;
    std::string folder_, torvo_, settingsFolder_, settingsFile_;
    std::string journalFolder_;
    unsigned long journalDays_ = kDefaultJournalDays;
    std::optional<ScopedJournalSettings> journalSettings_;
    HMODULE resources_ = nullptr;
    HINSTANCE previousModule_ = nullptr;
};

TEST_F(PaymentService, WritesTheSameBytesAsTheToolInEveryFormat) {
    struct Row {
        PaymentFormat format;
        const char* templateName;
        const char* reference;
        int ireland;
        const char* file;
        HRESULT result;
    };
    // clang-format off
    const Row rows[] = {
        {PaymentFormat::Standard, "", "", 0, "standard.txt", S_FALSE},
        {PaymentFormat::Template, "STAFF PAY", "", 1, "template.txt", S_FALSE},
        {PaymentFormat::BulkList, "STAFF", "BEN/1", 0, "bulklist.txt", S_FALSE},
        {PaymentFormat::AdHocBulk, "", "Ben ref", 0, "adhoc.txt", S_FALSE},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        ComPtr<CHostPayments> batch = Batch(ExportBatch());
        DialogScript dialog;
        dialog.format = row.format;
        dialog.templateName = row.templateName;
        dialog.reference = row.reference;
        dialog.ireland = row.ireland;
        EXPECT_HR(row.result, Run(batch.Get(), nullptr, dialog, PathOf(row.file)));
        EXPECT_EQ(kRunChecksFailed, status_);
        EXPECT_EQ(ExpectedExport(row.file), ReadBytes(PathOf(row.file)));
        if (row.format == PaymentFormat::BulkList) {
            EXPECT_EQ(ExpectedExport("STAFF"), ReadBytes(PathOf("STAFF")));
        }
        EXPECT_EQ(std::vector<long>({0, kStatusInvalidPayeeAccountNumber, 0}),
                  std::vector<long>({batch->Payment(0).Data().status, batch->Payment(1).Data().status,
                                     batch->Payment(2).Data().status}));
    }
    EXPECT_TRUE(messages_.empty());
}

// What a run's journal file holds, read as every reader reads it.
JournalReading JournalIn(const std::string& folder, int year) {
    return ReadJournal(ReadBytes(folder + "\\" + JournalFileName(year)));
}

int ThisYear() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return now.wYear;
}

TEST_F(PaymentService, RecordsEachPaymentWrittenInTheJournalOnceTheFileIsInPlace) {
    const struct {
        PaymentFormat format;
        bool withAccount;
        int ireland;
        std::vector<std::string> references;
    } rows[] = {
        {PaymentFormat::Standard, true, 0, {"INV 42", "R-7", ""}},
        {PaymentFormat::AdHocBulk, false, 1, {"INV 42", "R-7", "12345612345678"}},
    };
    long lines = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(PaymentFormatNumber(row.format));
        ComPtr<CHostPayments> batch = Batch(ExportBatch());
        ComPtr<CHostBankAccount> account;
        if (row.withAccount) account = MakeComObject<CHostBankAccount>(log_, L"99-88-77", L"55554444");
        DialogScript dialog;
        dialog.format = row.format;
        dialog.reference = "Ben ref";
        dialog.ireland = row.ireland;
        const std::string path = PathOf("journal" + std::to_string(PaymentFormatNumber(row.format)) + ".txt");
        EXPECT_HR(S_FALSE, Run(batch.Get(), account.Get(), dialog, path));
        EXPECT_EQ(kRunChecksFailed, status_);
        EXPECT_TRUE(messages_.empty());

        const JournalReading journal = JournalIn(journalFolder_, ThisYear());
        EXPECT_TRUE(journal.damaged.empty());
        ASSERT_EQ(lines + 3, static_cast<long>(journal.entries.size()));
        const std::string digest = Sha256Hex(ReadBytes(path));
        for (long index = 0; index < 3; ++index) {
            SCOPED_TRACE(index);
            const JournalEntry& entry = journal.entries[static_cast<std::size_t>(lines + index)];
            EXPECT_EQ(journal.entries[static_cast<std::size_t>(lines)][kJournalRun], entry[kJournalRun]);
            EXPECT_EQ(row.withAccount ? "998877" : "123456", entry[kJournalPayerSortCode]);
            EXPECT_EQ(row.withAccount ? "55554444" : "12345678", entry[kJournalPayerAccountNumber]);
            EXPECT_EQ(std::to_string(PaymentFormatNumber(row.format)), entry[kJournalFormat]);
            EXPECT_EQ("2024-03-05", entry[kJournalProcessingDate]);
            EXPECT_EQ(row.ireland ? "EUR" : "GBP", entry[kJournalCurrency]);
            EXPECT_EQ(path, entry[kJournalPaymentFile]);
            EXPECT_EQ(digest, entry[kJournalPaymentFileSha256]);
            EXPECT_EQ(std::to_string(index + 1), entry[kJournalRow]);
            EXPECT_EQ(row.references[static_cast<std::size_t>(index)], entry[kJournalReference]);
            EXPECT_FALSE(entry[kJournalUser].empty());
            EXPECT_FALSE(entry[kJournalMachine].empty());
        }
        const JournalEntry& first = journal.entries[static_cast<std::size_t>(lines)];
        EXPECT_EQ("1234.50", first[kJournalAmount]);
        EXPECT_EQ("O'Brien & Sons, Ltd", first[kJournalPayeeAccountName]);
        EXPECT_EQ("654321", first[kJournalPayeeSortCode]);
        EXPECT_EQ("Inv 42", first[kJournalPayeeBACSReference]);
        EXPECT_EQ("100.00", journal.entries[static_cast<std::size_t>(lines + 2)][kJournalAmount]);
        if (lines > 0) {
            EXPECT_NE(journal.entries[0][kJournalRun], first[kJournalRun]);
        }
        lines += 3;
    }

    // A run that puts no file in place, and one with the journal turned
    // off, add nothing.
    ComPtr<CHostPayments> batch = Batch(ExportBatch());
    DialogScript cancelled;
    cancelled.ok = false;
    EXPECT_HR(S_OK, Run(batch.Get(), nullptr, cancelled, PathOf("cancelled.txt")));
    journalDays_ = 0;
    DialogScript off;
    EXPECT_HR(S_FALSE, Run(batch.Get(), nullptr, off, PathOf("off.txt")));
    EXPECT_EQ(lines, static_cast<long>(JournalIn(journalFolder_, ThisYear()).entries.size()));
}

// A journal that cannot take the run's lines costs the run nothing: the
// payment file is in place, the statuses and result are the run's, and the
// clerk and the debugger output are told that the journal was not written.
TEST_F(PaymentService, AJournalThatCannotBeWrittenIsToldAndLeavesTheRunAsItEnded) {
    enum class Block { HeldOpen, Locked, FolderIsAFile };
    const struct {
        Block block;
        const char* why;
    } rows[] = {
        {Block::HeldOpen, "another program holds it open"},
        {Block::Locked, "another payment run kept it locked for more than 5 seconds"},
        {Block::FolderIsAFile, "it cannot be created"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        messages_.clear();
        ASSERT_TRUE(CreateDirectoryA(journalFolder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        const std::string journal = journalFolder_ + "\\" + JournalFileName(ThisYear());
        const std::string blockedFolder = PathOf("not-a-folder");
        std::string journalShown = journal;
        CHandle holder;
        if (row.block == Block::FolderIsAFile) {
            ASSERT_TRUE(CHandle(CreateFileA(blockedFolder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
            journalShown = blockedFolder + "\\" + JournalFileName(ThisYear());
        } else {
            // A spreadsheet holds the file open for itself; another run
            // holds the appenders' lock.
            holder.Reset(CreateFileA(journal.c_str(), GENERIC_READ | GENERIC_WRITE,
                                     row.block == Block::Locked ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr,
                                     OPEN_ALWAYS, 0, nullptr));
            ASSERT_TRUE(holder);
            if (row.block == Block::Locked) {
                OVERLAPPED place = {};
                place.OffsetHigh = 0x7FFFFFFF;
                ASSERT_TRUE(LockFileEx(holder.Get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &place));
            }
        }
        const std::string saved = journalFolder_;
        if (row.block == Block::FolderIsAFile) journalFolder_ = blockedFolder;
        std::vector<std::string> debugLines;
        ScopedDebugOutputHandler capture([&debugLines](const char* text) { debugLines.emplace_back(text); });
        ComPtr<CHostPayments> batch = Batch({GoodPayment(), GoodPayment()});
        DialogScript dialog;
        const std::string path = PathOf("kept.txt");
        const ULONGLONG started = GetTickCount64();
        EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, path));
        const ULONGLONG took = GetTickCount64() - started;
        journalFolder_ = saved;
        EXPECT_EQ(kRunCompleted, status_);
        EXPECT_EQ(2, Lines(ReadBytes(path)));
        EXPECT_EQ(0, batch->Payment(0).Data().status);
        EXPECT_EQ(0, batch->Payment(1).Data().status);
        ASSERT_EQ(1u, messages_.size());
        EXPECT_EQ(kComponentCaption, messages_[0].caption);
        EXPECT_EQ(MessageIcon::Warning, messages_[0].icon);
        EXPECT_EQ(MessageButtons::Ok, messages_[0].buttons);
        const std::string told = "The payment file " + path + " was written, but the payment journal " +
                                 journalShown + " was not: " + row.why;
        EXPECT_EQ(told, messages_[0].text.substr(0, told.size()));
        ASSERT_EQ(1u, debugLines.size());
        EXPECT_NE(std::string::npos, debugLines[0].find(row.why)) << debugLines[0];
        if (row.block == Block::Locked) {
            EXPECT_GE(took, 4900u);
            EXPECT_LT(took, 15000u);
        }
        holder.Reset();
        DeleteFileA(blockedFolder.c_str());
        DeleteFileA(journal.c_str());
    }
}

// A run killed while it appended leaves its last line without its end: the
// next run's lines start on a line of their own, and only that torn line
// is damaged.
TEST_F(PaymentService, AppendsWholeLinesAfterALineTornByAKilledRun) {
    ASSERT_TRUE(CreateDirectoryA(journalFolder_.c_str(), nullptr));
    const std::string journal = journalFolder_ + "\\" + JournalFileName(ThisYear());
    {
        std::ofstream torn(journal, std::ios::binary);
        torn << kUtf8ByteOrderMark << JournalHeaderLine() << "20240305T101010-PC-1-1,2024-03-05T10:10:10,ann\r";
    }
    ComPtr<CHostPayments> batch = Batch({GoodPayment(), GoodPayment()});
    DialogScript dialog;
    EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, PathOf("after.txt")));
    EXPECT_TRUE(messages_.empty());
    const JournalReading reading = JournalIn(journalFolder_, ThisYear());
    EXPECT_EQ(2u, reading.entries.size());
    ASSERT_EQ(1u, reading.damaged.size());
    EXPECT_EQ(2, reading.damaged[0].line);
    const std::string bytes = ReadBytes(journal);
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
}

TEST_F(PaymentService, AsksTheSaveDialogForATextFileAtTheHostsDefaultPath) {
    ComPtr<CHostPayments> batch = Batch({GoodPayment()});
    DialogScript dialog;
    EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, PathOf("out.txt")));
    EXPECT_EQ(kRunCompleted, status_);
    ASSERT_EQ(1u, saveRequests_.size());
    const char filter[] = "Payment Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0";
    EXPECT_EQ(std::string(filter, sizeof filter - 1), saveRequests_[0].filter);
    EXPECT_EQ("txt", saveRequests_[0].defaultExtension);
    // The host's "Payments." loses its last character once, in the shell.
    EXPECT_EQ(folder_ + "\\Payments", saveRequests_[0].initialPath);
}

TEST_F(PaymentService, FourThousandPaymentsMakeAFileAndOneMoreIsRefused) {
    for (const long count : {4000L, 4001L}) {
        SCOPED_TRACE(count);
        messages_.clear();
        ComPtr<CHostPayments> batch = Batch(std::vector<PaymentData>(static_cast<std::size_t>(count), GoodPayment()));
        DialogScript dialog;
        const std::string path = PathOf("many" + std::to_string(count) + ".txt");
        const HRESULT result = Run(batch.Get(), nullptr, dialog, path);
        if (count == 4000) {
            EXPECT_HR(S_OK, result);
            EXPECT_EQ(kRunCompleted, status_);
            EXPECT_EQ(4000, Lines(ReadBytes(path)));
            EXPECT_TRUE(messages_.empty());
        } else {
            EXPECT_EQ(40, result);
            EXPECT_EQ(kRunTooManyPayments, status_);
            EXPECT_EQ(0, dialog.shown);
            EXPECT_FALSE(Exists(path));
            ASSERT_EQ(1u, messages_.size());
            EXPECT_EQ("Torvo Kelmar Bank Paylode", messages_[0].caption);
            EXPECT_EQ(
                "Too many payment instructions have been submitted. Kelmar Bank Paylode supports a maximum "
                "of 4000 payments in a single file.",
                messages_[0].text);
            EXPECT_EQ(MessageIcon::Warning, messages_[0].icon);
            EXPECT_EQ(MessageButtons::Ok, messages_[0].buttons);
        }
    }
}

TEST_F(PaymentService, CancelInEitherDialogWritesNothing) {
    for (const bool cancelOptions : {true, false}) {
        SCOPED_TRACE(cancelOptions ? "options dialog" : "save dialog");
        SetSetting("KelmarPaylodeTemplate", "OLD");
        SetSetting("RICheckState", "yes");
        ComPtr<CHostPayments> batch = Batch({GoodPayment()});
        DialogScript dialog;
        dialog.ok = !cancelOptions;
        dialog.templateName = "NEW";
        EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, cancelOptions ? PathOf("x.txt") : ""));
        EXPECT_EQ(kRunCancelled, status_);
        EXPECT_EQ(cancelOptions ? 0u : 1u, saveRequests_.size());
        saveRequests_.clear();
        EXPECT_EQ("OLD", Setting("KelmarPaylodeTemplate"));
        EXPECT_EQ("<absent>", Setting("KelmarPaylodeBenRef"));
        EXPECT_EQ("yes", Setting("RICheckState"));
        EXPECT_FALSE(Exists(PathOf("x.txt")));
    }
}

// A save dialog that fails is not the clerk's cancel: the clerk is told
// why, the run fails with status value 2, and nothing is written or changed.
TEST_F(PaymentService, ASaveDialogThatFailsEndsTheRunWithStatusTwoAndSaysWhy) {
    const struct {
        unsigned long failure;
        const char* why;
    } rows[] = {
        {FNERR_BUFFERTOOSMALL, "the name does not fit in a path of 259 characters"},
        {FNERR_INVALIDFILENAME, "the name is not a valid file name"},
        {FNERR_SUBCLASSFAILURE, "there was not enough memory to show the file dialog"},
        {CDERR_MEMALLOCFAILURE, "there was not enough memory to show the file dialog"},
        {CDERR_DIALOGFAILURE, "the file dialog failed (error 0xFFFF)"},
        {CDERR_INITIALIZATION, "the file dialog failed (error 0x0002)"},
    };
    SetSetting("KelmarPaylodeTemplate", "OLD");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        PaymentData marked = GoodPayment();
        marked.status = 7;
        ComPtr<CHostPayments> batch = Batch({marked});
        DialogScript dialog;
        dialog.templateName = "NEW";
        saveFailure_ = row.failure;
        messages_.clear();
        saveRequests_.clear();
        EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, PathOf("x.txt")));
        EXPECT_EQ(kRunFileFailed, status_);
        ASSERT_EQ(1u, messages_.size());
        ASSERT_EQ(1u, saveRequests_.size());
        EXPECT_EQ(saveRequests_[0].owner, messages_[0].owner);
        EXPECT_EQ(kComponentCaption, messages_[0].caption);
        EXPECT_EQ(std::string("The payment file could not be chosen: ") + row.why +
                      ".\r\nNo payment file has been written.",
                  messages_[0].text);
        EXPECT_EQ(MessageIcon::Error, messages_[0].icon);
        EXPECT_EQ(7, batch->Payment(0).Data().status);
        EXPECT_EQ("OLD", Setting("KelmarPaylodeTemplate"));
        EXPECT_FALSE(Exists(PathOf("x.txt")));
    }
}

TEST_F(PaymentService, RemembersTheChoicesPerPayingAccountAndTheIrelandFlagForAll) {
    struct Row {
        const wchar_t* sortCode;  // null: no account
        const wchar_t* accountNumber;
        const char* failing;  // a call on the account that fails
        const char* suffix;
    };
    // clang-format off
    const Row rows[] = {
        {nullptr, nullptr, nullptr, ""},
        {L"12-34-56", L"12345678", nullptr, "123456_12345678"},
        {L"12 34 56", L"12345678", nullptr, "123456_12345678"},
        {L"12-34-56", L"12345678", "account.GetBankDetails", ""},
        {L"12-34-56", L"12345678", "details.GetSortCode", "_12345678"},
        {L"12-34-56", L"12345678", "details.GetAccountNumber", "123456_"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.suffix);
        const std::string suffix = row.suffix;
        SetSetting(("KelmarPaylodeTemplate" + suffix).c_str(), "LAST");
        SetSetting(("KelmarPaylodeBenRef" + suffix).c_str(), "REF/9");
        auto log = std::make_shared<CHostCallLog>();
        if (row.failing != nullptr) log->FailCall(row.failing, E_FAIL);
        ComPtr<CHostBankAccount> account;
        if (row.sortCode != nullptr) account = MakeComObject<CHostBankAccount>(log, row.sortCode, row.accountNumber);
        ComPtr<CHostPayments> batch = Batch({GoodPayment()});
        DialogScript dialog;
        dialog.format = PaymentFormat::BulkList;
        dialog.templateName = "NEXT";
        dialog.reference = "REF/10";
        EXPECT_HR(S_OK, Run(batch.Get(), account.Get(), dialog, PathOf("pay.txt")));
        EXPECT_EQ("LAST", dialog.givenTemplate);
        EXPECT_EQ("REF/9", dialog.givenReference);
        EXPECT_EQ("NEXT", Setting("KelmarPaylodeTemplate" + suffix));
        EXPECT_EQ("REF/10", Setting("KelmarPaylodeBenRef" + suffix));
        DeleteFileA(settingsFile_.c_str());
    }
}

TEST_F(PaymentService, ReadsTheIrelandFlagInAnyLetterCaseAndStoresTrueOrFalse) {
    const struct {
        const char* stored;
        int given;
    } rows[] = {{"yes", 1}, {"YES", 1}, {"Yes", 1}, {"tRUE", 1}, {"1", 1},
                {"no", 0},  {"0", 0},   {"on", 0},  {"", 0},     {nullptr, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored != nullptr ? row.stored : "<absent>");
        if (row.stored != nullptr) SetSetting("RICheckState", row.stored);
        ComPtr<CHostPayments> batch = Batch({GoodPayment()});
        DialogScript dialog;
        dialog.ireland = 1 - row.given;
        EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, PathOf("pay.txt")));
        EXPECT_EQ(row.given, dialog.givenIreland);
        EXPECT_EQ(row.given ? "FALSE" : "TRUE", Setting("RICheckState"));
        DeleteFileA(settingsFile_.c_str());
    }
}

TEST_F(PaymentService, IatMarksLeftByTheDialogMakeTransferRecordsAndAreReplacedByTheOutcome) {
    for (const PaymentFormat format : {PaymentFormat::Standard, PaymentFormat::Template, PaymentFormat::BulkList}) {
        SCOPED_TRACE(PaymentFormatNumber(format));
        ComPtr<CHostPayments> batch = Batch({GoodPayment(), GoodPayment()});
        DialogScript dialog;
        dialog.format = format;
        dialog.templateName = "T1";
        dialog.reference = "R1";
        dialog.iatMarks = {1};
        EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, PathOf("iat.txt")));
        const std::string text = ReadBytes(PathOf("iat.txt"));
        const bool transfers = format != PaymentFormat::BulkList;
        EXPECT_EQ(transfers, text.find(",,,03,") != std::string::npos) << text;
        EXPECT_EQ(0, batch->Payment(1).Data().status);
    }
}

// An incomplete batch makes no payment file: the old one stays, and the
// payments that passed are told the batch was rejected.
TEST_F(PaymentService, APaymentTheBatchCannotGiveEndsTheRunWithStatusTwoAndTheOldFile) {
    {
        std::ofstream old(PathOf("hole.txt"), std::ios::binary);
        old << "OLD FILE\r\n";
    }
    ComPtr<CHostPayments> host = Batch({GoodPayment(), GoodPayment(), GoodPayment()});
    CBatchWithHole batch(host.Get(), 2);
    DialogScript dialog;
    EXPECT_HR(S_OK, Run(&batch, nullptr, dialog, PathOf("hole.txt")));
    EXPECT_EQ(kRunFileFailed, status_);
    EXPECT_EQ("OLD FILE\r\n", ReadBytes(PathOf("hole.txt")));
    EXPECT_EQ(kStatusBatchRejected, host->Payment(0).Data().status);
    EXPECT_EQ(kStatusBatchRejected, host->Payment(1).Data().status);
    EXPECT_EQ(1u, batch.references);
}

TEST_F(PaymentService, TheTemplateFileIsReplacedOnlyWhenTheUserSaysYes) {
    for (const MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        SCOPED_TRACE(static_cast<int>(answer));
        {
            std::ofstream kept(PathOf("STAFF"), std::ios::binary);
            kept << "kept\r\n";
        }
        messages_.clear();
        answer_ = answer;
        ComPtr<CHostPayments> batch = Batch(ExportBatch());
        DialogScript dialog;
        dialog.format = PaymentFormat::BulkList;
        dialog.templateName = "STAFF";
        dialog.reference = "BEN/1";
        EXPECT_HR(S_FALSE, Run(batch.Get(), nullptr, dialog, PathOf("bulklist.txt")));
        ASSERT_EQ(1u, messages_.size());
        EXPECT_EQ("Bulk List Template Exists", messages_[0].caption);
        EXPECT_EQ("Do you wish to overwrite template file: \r\n" + PathOf("STAFF"), messages_[0].text);
        EXPECT_EQ(answer == MessageAnswer::Yes ? ExpectedExport("STAFF") : "kept\r\n", ReadBytes(PathOf("STAFF")));
        EXPECT_EQ(ExpectedExport("bulklist.txt"), ReadBytes(PathOf("bulklist.txt")));
    }
}

// Wine's view of a device that takes no bytes: the disk is full at once.
TEST_F(PaymentService, AFullDiskUnderWineEndsWithStatusTwo) {
    if (!PlatformFileSystem().CanOpenForReading("Z:\\dev\\full")) GTEST_SKIP() << "no Z:\\dev\\full";
    ComPtr<CHostPayments> batch = Batch({GoodPayment()});
    DialogScript dialog;
    dialog.templateName = "T";
    EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, "Z:\\dev\\full"));
    EXPECT_EQ(kRunFileFailed, status_);
    // The choices were stored before the file was made.
    EXPECT_EQ("T", Setting("KelmarPaylodeTemplate"));
    EXPECT_TRUE(PlatformFileSystem().CanOpenForReading("Z:\\dev\\full")) << "a device is no file of ours to delete";
}

TEST_F(PaymentService, AFolderThatCannotBeWrittenEndsWithStatusTwo) {
    ComPtr<CHostPayments> batch = Batch({GoodPayment()});
    DialogScript dialog;
    EXPECT_HR(S_OK, Run(batch.Get(), nullptr, dialog, PathOf("missing\\pay.txt")));
    EXPECT_EQ(kRunFileFailed, status_);
}

TEST_F(PaymentService, AFailingBankSettingsObjectEndsTheRunBeforeAnythingElse) {
    Configure("[Failures]\r\nbankSettings.Create=0x80040154");
    service_->SetServiceStatus(77);
    ComPtr<CHostPayments> batch = Batch({GoodPayment()});
    DialogScript dialog;
    EXPECT_HR(DISP_E_EXCEPTION, Run(batch.Get(), nullptr, dialog, PathOf("pay.txt")));
    EXPECT_EQ(77, status_);
    EXPECT_TRUE(log_->Calls().empty());
    EXPECT_EQ(0, dialog.shown);
}

TEST_F(PaymentService, ANullBatchIsAnInvalidArgument) {
    DialogScript dialog;
    EXPECT_HR(0x800AFFFCu, Run(nullptr, nullptr, dialog, PathOf("pay.txt")));
    EXPECT_EQ(0, dialog.shown);
}

// A table beside the DLL that cannot be had never blocks a run: its checks
// are off, and one debugger line says why, whatever went wrong.
TEST(ComponentTables, AnyFailureLeavesTheChecksOffWithOneDebuggerLine) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path base =
        std::filesystem::path(temp) / (L"paylode-tables-" + std::to_wstring(GetCurrentProcessId()));
    const std::filesystem::path huge = base / L"huge";
    std::filesystem::create_directories(huge);
    for (const wchar_t* name : {L"valacdos.txt", L"scsubtab.txt", L"bank-closures.txt"}) {
        std::ofstream(huge / name, std::ios::binary) << "x";
        std::filesystem::resize_file(huge / name, kMaxWholeFileBytes + 1);
    }
    // A lone surrogate: a name Windows may hold and UTF-8 cannot (Wine
    // itself cannot make it; the name alone is refused before any file is
    // touched).
    const std::filesystem::path unconvertible = base / std::wstring(L"tables\xD800");
    const struct {
        const char* name;
        std::filesystem::path folder;
    } rows[] = {{"files larger than 4 MiB", huge}, {"a folder name UTF-8 cannot hold", unconvertible}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> lines;
        ScopedDebugOutputHandler capture([&lines](const char* text) { lines.emplace_back(text); });
        EXPECT_FALSE(LoadComponentModulusTables(row.folder).has_value());
        EXPECT_TRUE(LoadComponentBankClosures(row.folder).Days().empty());
        ASSERT_EQ(2u, lines.size());
        EXPECT_EQ(0u, lines[0].find("Payee accounts not checked: ")) << lines[0];
        EXPECT_EQ(0u, lines[1].find("Bank closures not known: ")) << lines[1];
    }
    std::error_code ignored;
    std::filesystem::remove_all(base, ignored);
}

TEST_F(PaymentService, GivesTheTextOfEveryStatusCodeThatHasOne) {
    const struct {
        LONG code;
        const wchar_t* text;  // null: the pointer is left alone
    } rows[] = {
        {0, L"Payment processed successfully."},
        {21, L"Invalid Amount specified for payment: negative payments not supported."},
        {35, L"An error occurred with the status field."},
        {1, nullptr},
        {19, nullptr},
        {36, nullptr},
        {40, nullptr},
        {-1, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        BSTR text = reinterpret_cast<BSTR>(1);
        EXPECT_HR(S_OK, service_->GetStatusText(row.code, &text));
        if (row.text == nullptr) {
            EXPECT_EQ(reinterpret_cast<BSTR>(1), text);
        } else {
            CBstr received;
            *received.Receive() = text;
            EXPECT_EQ(std::wstring(row.text), std::wstring(received.Get(), received.Length()));
        }
    }
    EXPECT_HR(0x800AFFFCu, service_->GetStatusText(0, nullptr));
}

// The registered DLL as the host reaches it: the bank by its ProgID, its
// services collection, the payment service by name; both dialogs are the
// real ones, driven through their controls, and the processing date is the
// one the options dialog proposes for today.
class RegisteredPaymentService : public testrig::WithRegisteredComponent<PaymentService> {
protected:

    ComPtr<ITorvoBankPaymentService> HostsPaymentService() {
        CLSID bankClass = {};
        EXPECT_HR(S_OK, CLSIDFromProgID(L"TorvoKelmarBankPaylode.Bank", &bankClass));
        ComPtr<ITorvoBank> bank;
        EXPECT_HR(S_OK, CoCreateInstance(bankClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&bank)));
        ComPtr<ITorvoBankServices> services;
        if (bank) {
            EXPECT_HR(S_OK, bank->GetServices(&services));
        }
        const CBstr serviceName = CBstr::Make(L"Bank Payment Service");
        VARIANT name;
        VariantInit(&name);
        V_VT(&name) = VT_BSTR;
        V_BSTR(&name) = serviceName.Get();  // borrowed: the VARIANT is not cleared
        ComPtr<ITorvoBankService> service;
        if (services) {
            EXPECT_HR(S_OK, services->GetItem(&name, &service));
        }
        ComPtr<ITorvoBankPaymentService> payments;
        if (service) service.As(&payments);
        return payments;
    }

};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST_F(RegisteredPaymentService, WritesTheToolsBytesInEveryFormat) {
    ASSERT_TRUE(component_->Registration().Succeeded()) << component_->Registration();
    struct Row {
        int radio;
        const char* templateName;
        const char* reference;
        bool ireland;
        const char* file;
    };
    // clang-format off
    const Row rows[] = {
        {IDC_FORMAT_STANDARD, "", "", false, "standard.txt"},
        {IDC_FORMAT_TEMPLATE, "Staff pay", "", true, "template.txt"},
        {IDC_FORMAT_BULK_LIST, "staff", "ben/1", false, "bulklist.txt"},
        {IDC_FORMAT_AD_HOC_BULK, "", "Ben ref", false, "adhoc.txt"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        ComPtr<ITorvoBankPaymentService> service = HostsPaymentService();
        ASSERT_NE(nullptr, service.Get());
        ComPtr<CHostPayments> batch = Batch(ExportBatch());
        SYSTEMTIME proposed = {};
        CPaymentOptionsDriver options([&](HWND dialog) {
            SendDlgItemMessageA(dialog, IDC_PROCESSING_DATE, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&proposed));
            SendDlgItemMessageA(dialog, row.radio, BM_CLICK, 0, 0);
            if ((IsDlgButtonChecked(dialog, IDC_IRELAND) == BST_CHECKED) != row.ireland) {
                SendDlgItemMessageA(dialog, IDC_IRELAND, BM_CLICK, 0, 0);
            }
            if (*row.templateName != '\0') SetDlgItemTextA(dialog, IDC_TEMPLATE, row.templateName);
            if (*row.reference != '\0') SetDlgItemTextA(dialog, IDC_REFERENCE, row.reference);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        CSaveDialogDriver save(PathOf(row.file));
        // The batch's two faulty payee accounts fail their modulus check too:
        // OK asks first, and Yes writes exactly what the tool writes. A
        // paying account of this row's own keeps the journal's earlier
        // exports of the same batch (other rows, other tests) out of the
        // question.
        const ComPtr<CHostBankAccount> paying = MakeComObject<CHostBankAccount>(
            log_, L"99-88-77", std::to_wstring(GetCurrentProcessId() * 10 + (&row - rows)));
        testrig::MessageBoxScript boxes({MessageAnswer::Yes});
        EXPECT_HR(S_FALSE, service->ProcessPayments(batch.Get(), paying.Get()));
        EXPECT_TRUE(boxes.Verify());
        ASSERT_EQ(1u, boxes.Met().size());
        EXPECT_EQ("2 payee accounts fail the bank's account number check. Export the payment file anyway?",
                  boxes.Met()[0].text);
        ASSERT_TRUE(options.met) << "the payment options dialog was never shown";
        ASSERT_TRUE(save.met) << "the save-file dialog was never shown";
        LONG status = -1;
        service->GetServiceStatus(&status);
        EXPECT_EQ(kRunChecksFailed, status);
        char date[16];
        std::snprintf(date, sizeof date, "%02u%02u%04u", proposed.wDay, proposed.wMonth, proposed.wYear);
        EXPECT_EQ(Replaced(ExpectedExport(row.file), "05032024", date), ReadBytes(PathOf(row.file)));
        if (row.radio == IDC_FORMAT_BULK_LIST) {
            EXPECT_EQ(ExpectedExport("STAFF"), ReadBytes(PathOf("STAFF")));
        }
        CBstr text;
        EXPECT_HR(S_OK, service->GetStatusText(batch->Payment(1).Data().status, text.Receive()));
        EXPECT_EQ(std::wstring(L"Invalid Payee Bank Account Number: the account number must be 8 digits and a "
                               L"numeric value."),
                  std::wstring(text.Get() != nullptr ? text.Get() : L""));
    }
}

}  // namespace
}  // namespace paylode
