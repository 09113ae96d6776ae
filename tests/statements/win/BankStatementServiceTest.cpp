// Under Wine: the statement service importing a chosen statement file into
// the reference host's statement, as the host's bank reconciliation calls
// it. The chooser and the bank settings object are the registered reference
// host's; the account, its details, the statement and its transactions are
// the reference host's recording objects, writing to the same record so that
// the whole conversation is read back in order.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TorvoKelmarBankPaylode.h"
#include "combase/ComPointers.h"
#include "referencehost/HostPayments.h"
#include "referencehost/HostStatement.h"
#include "referencehost/StatementImportBlock.h"
#include "support/ErrorInfoText.h"
#include "support/FakeDispatch.h"
#include "support/HResultAssert.h"
#include "support/ReferenceHostFixture.h"
#include "support/ScopedRegistration.h"
#include "support/ScratchFolders.h"
#include "common/DebugOutput.h"
#include "payments/BankingCalendar.h"
#include "payments/Journal.h"
#include "payments/StatementMarks.h"
#include "payments/win/JournalSettings.h"
#include "statements/win/BankStatementService.h"
#include "statements/win/IsStatementFile.h"
#include "common/win/Owners.h"

namespace paylode::referencehost {
namespace {

using Microsoft::WRL::ComPtr;

constexpr HRESULT kHostFailed = DISP_E_EXCEPTION;
constexpr HRESULT kComponentInvalidArgument = static_cast<HRESULT>(0x800AFFFCu);

const std::string kHeader18 =
    "Sort Code,Account Number,Account Alias,Account Short Name,Currency,Account Type,BIC,Bank Name,Branch Name,"
    "Date,Narrative #1,Narrative #2,Narrative #3,Narrative #4,Narrative #5,Type,Debit,Credit\r\n";

// A long-layout line of the given sort code and account.
std::string Line(const std::string& sortCode, const std::string& account, const std::string& date,
                 const std::string& narratives, const std::string& type, const std::string& debit,
                 const std::string& credit) {
    return sortCode + "," + account + ",Alias,Short,GBP,Current,BIC,Bank,Branch," + date + "," + narratives + "," +
           type + "," + debit + "," + credit + "\r\n";
}
std::string Ours(const std::string& narratives, const std::string& type, const std::string& debit,
                 const std::string& credit) {
    return Line("123456", "12345678", "01/02/2006", narratives, type, debit, credit);
}

std::string Utf8(const std::wstring& text) { return Utf8FromWide(text.c_str()).Bytes(); }

// A number as `paylode statement` writes it: the fewest decimals that read
// back exactly, and ".0" on whole numbers.
std::string JsonNumber(double value) {
    char text[64];
    for (int decimals = 0; decimals <= 17; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    std::string result = text;
    if (result.find('.') == std::string::npos) result += ".0";
    return result;
}

// A transaction on the host's statement as one JSON line of `paylode
// statement --sort-code --account`.
std::string TransactionJson(const TransactionData& data) {
    return "{\"ID\":" + std::to_string(V_VT(&data.id.Get()) == VT_I4 ? V_I4(&data.id.Get()) : -1) +
           ",\"Date\":" + JsonNumber(data.date) + ",\"Type\":" + std::to_string(data.type) +
           ",\"Amount\":" + JsonNumber(data.amount) + ",\"Reference\":\"" + Utf8(data.reference) +
           "\",\"Description\":\"" + Utf8(data.description) + "\"}";
}

// A named pipe that nobody writes to, for as long as it lives: reading it
// would wait for ever.
class CSilentPipe {
public:
    CSilentPipe()
        : path_("\\\\.\\pipe\\paylode-statement-" + std::to_string(GetCurrentProcessId())),
          server_(CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                   PIPE_UNLIMITED_INSTANCES, 0, 4096, 0, nullptr)) {}
    bool Made() const { return static_cast<bool>(server_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    CHandle server_;
};

// A stack-built account whose GetBankDetails succeeds without details.
class CAccountWithoutDetails : public test::CFakeDispatch<ITorvoBankAccount> {
public:
    HRESULT STDMETHODCALLTYPE GetBankDetails(ITorvoBankDetails** details) override {
        *details = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetBankDetails(ITorvoBankDetails*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetName(BSTR) override { return E_NOTIMPL; }
};

class StatementImport : public ReferenceHostFixture {
protected:
    void SetUp() override {
        ReferenceHostFixture::SetUp();
        // The payment journal that an import marks goes to a folder of the
        // test's own.
        static int import = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        journalFolder_ = std::string(temp) + "paylode-import-journal-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++import);
        journalSettings_.emplace([this] {
            JournalSettings settings;
            settings.folder = WideFromAnsi(journalFolder_.c_str());
            return settings;
        });
        log_ = std::make_shared<CHostCallLog>();
        log_->WriteTo(record_);
        statement_ = MakeComObject<CHostStatement>(log_);
        account_ = MakeComObject<CHostBankAccount>(log_, L"12-34-56", L"12345678");
        ASSERT_HR(S_OK, CreateBankStatementService(nullptr, IID_ITorvoBankStatementService,
                                                   reinterpret_cast<void**>(service_.GetAddressOf())));
    }
    void TearDown() override {
        service_.Reset();
        account_.Reset();
        statement_.Reset();
        EXPECT_EQ(0, log_->LiveObjects()) << "a host object was kept";
        for (const std::string& file : files_) std::remove(file.c_str());
        journalSettings_.reset();
        testrig::RemoveFilesAndFolder(journalFolder_);
        ReferenceHostFixture::TearDown();
    }

    // A statement file in the temporary folder; its path.
    std::string WriteStatement(const std::string& content) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        const std::string path = std::string(folder) + "paylode-import-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(files_.size()) + ".csv";
        std::ofstream(path, std::ios::binary) << content;
        files_.push_back(path);
        return path;
    }
    // The user picks `path` in the chooser; `more` adds configuration.
    void Choose(const std::string& path, const std::string& more = "") {
        Configure("[Chooser]\r\nFile=" + path + "\r\n" + more);
    }
    HRESULT Import(ITorvoBankAccount* account) { return service_->ImportStatement(account, statement_.Get()); }
    HRESULT Import() { return Import(account_.Get()); }
    LONG Status() {
        LONG status = -1;
        EXPECT_HR(S_OK, service_->GetServiceStatus(&status));
        return status;
    }
    // The recorded calls on the account, its details, the statement and the
    // transactions.
    Texts HostObjectCalls() const {
        Texts calls;
        for (const std::string& line : Recorded()) {
            if (line.rfind("chooser.", 0) != 0 && line.rfind("bankSettings.", 0) != 0) calls.push_back(line);
        }
        return calls;
    }
    Texts References() const {
        Texts references;
        for (std::size_t i = 0; i < statement_->Size(); ++i) {
            references.push_back(Utf8(statement_->Transaction(i).Data().reference));
        }
        return references;
    }

    // The sample statement of `paylode statement`'s own test, imported by
    // `service` for the account that test names, gives exactly the
    // transactions the tool prints.
    void ExpectWhatPaylodeStatementReports(ITorvoBankStatementService* service) {
        std::string source = PAYLODE_SOURCE_DIR "/tests/cli/";
        for (char& c : source) c = c == '/' ? '\\' : c;
        source = "Z:" + source;
        Choose(source + "sample-statement.csv");
        ASSERT_HR(S_OK, service->ImportStatement(account_.Get(), statement_.Get()));
        Texts expected;
        std::ifstream file(source + "statement-account.expected");
        for (std::string line; std::getline(file, line);) expected.push_back(line);
        ASSERT_EQ(4u, expected.size());
        Texts imported;
        for (std::size_t i = 0; i < statement_->Size(); ++i) {
            imported.push_back(TransactionJson(statement_->Transaction(i).Data()));
        }
        EXPECT_EQ(expected, imported);
    }

    std::shared_ptr<CHostCallLog> log_;
    ComPtr<CHostStatement> statement_;
    ComPtr<CHostBankAccount> account_;
    ComPtr<ITorvoBankStatementService> service_;
    std::vector<std::string> files_;
    std::string journalFolder_;
    std::optional<ScopedJournalSettings> journalSettings_;
};

TEST_F(StatementImport, TheWholeConversationInOrder) {
    const std::string path = WriteStatement(kHeader18 + Ours("100234,SMITH,,,", "CHQ", "250.00", "") +
                                            Line("654321", "87654321", "01/02/2006", "RENT,,,,", "DD", "9", "") +
                                            Line("123456", "12345678", "2006-02-02", "A,B,,,", "DD", "", "15"));
    Choose(path);
    ASSERT_HR(S_OK, Import());
    EXPECT_EQ(0, Status());
    const Texts expected = {
        "chooser.Create()",
        "chooser.Run()",
        "bankSettings.Create()",
        "bankSettings.Run()",
        "bankSettings.GetStatementImportSettings(\"Kelmar Bank Paylode\")",
        "chooser.SelectFile(test, \"*.csv\", \"C:\\\")",
        "chooser.IsStatementFile(\"" + path + "\") -> 1 \"Kelmar Bank Paylode Statement\"",
        "chooser.GetCancelled()",
        "chooser.GetFilePath()",
        "bankSettings.Released()",
        "chooser.Released()",
        "account.GetBankDetails()",
        "details.GetAccountNumber()",
        "details.GetSortCode()",
        "statement.Clear()",
        "statement.SetBalance(0)",
        "statement.AddTransaction()",
        "transaction[0].SetID(VT_I4 1)",
        "transaction[0].SetDate(38749)",
        "transaction[0].SetType(0)",
        "transaction[0].SetAmount(250)",
        "transaction[0].SetDescription(\"100234 SMITH\")",
        "transaction[0].SetReference(\"100234\")",
        "transaction[0].SetDescription(\"CHQ 100234 SMITH\")",
        "statement.AddTransaction()",
        "transaction[1].SetID(VT_I4 2)",
        "transaction[1].SetDate(38750)",
        "transaction[1].SetType(1)",
        "transaction[1].SetAmount(15)",
        "transaction[1].SetDescription(\"A B\")",
        "transaction[1].SetReference(\"DD\")",
    };
    EXPECT_EQ(expected, Recorded());
}

TEST_F(StatementImport, EachLineBecomesItsTransaction) {
    struct Row {
        const char* name;
        std::string line;
        long type;
        double amount;
        const char* reference;
        const char* description;
    };
    // clang-format off
    const Row rows[] = {
        {"debit", Ours("N1,,,,", "DD", "12.50", ""), 0, 12.5, "DD", "N1"},
        {"credit", Ours("N1,N2,,,N5", "BGC", "", "\"1,000.00\""), 1, 1000, "BGC", "N1 N2 N5"},
        {"neither amount", Ours(",ABC,,,", "TFR", "0.00", ""), 1, 0, "TFR", " ABC"},
        {"cheque", Ours("100234,SMITH,,,", "CHQ", "1", ""), 0, 1, "100234", "CHQ 100234 SMITH"},
        {"lower-case chq", Ours("100234,SMITH,,,", "chq", "1", ""), 0, 1, "chq", "100234 SMITH"},
        {"type with a space", Ours("X,,,,", " CHQ", "1", ""), 0, 1, " CH", "X"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Choose(WriteStatement(kHeader18 + row.line));
        ASSERT_HR(S_OK, Import());
        ASSERT_EQ(1u, statement_->Size());
        const TransactionData& data = statement_->Transaction(0).Data();
        EXPECT_EQ(row.type, data.type);
        EXPECT_EQ(row.amount, data.amount);
        EXPECT_EQ(row.reference, Utf8(data.reference));
        EXPECT_EQ(row.description, Utf8(data.description));
        EXPECT_EQ(38749, data.date);
    }
}

TEST_F(StatementImport, KeepsTheAccountsLinesNumberedWithoutGaps) {
    struct Row {
        const wchar_t* hostSortCode;
        const wchar_t* hostAccount;
        Texts references;  // of the transactions added, in order
    };
    const std::string file = kHeader18 + Line("123456", "12345678", "01/02/2006", "N,,,,", "A", "1", "") +
                             Line("654321", "12345678", "01/02/2006", "N,,,,", "X", "1", "") +
                             Line("12-34-56", "12345678", "01/02/2006", "N,,,,", "Y", "1", "") +
                             Line("123456", "12345678", "01/02/2006", "N,,,,", "B", "1", "") +
                             Line("123456", "87654321", "01/02/2006", "N,,,,", "Z", "1", "") +
                             Line("123456", "12345678", "01/02/2006", "N,,,,", "C", "1", "");
    // clang-format off
    const Row rows[] = {
        {L"12-34-56", L"12345678", {"A", "B", "C"}},
        {L"123456", L"12345678", {"A", "B", "C"}},
        {L"12 34 56", L"87654321", {"Z"}},
        {L"654321", L"12345678", {"X"}},
        {L"12-34-56", L"1234567", {}},
    };
    // clang-format on
    Choose(WriteStatement(file));
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf8(row.hostSortCode) + " " + Utf8(row.hostAccount));
        ComPtr<CHostBankAccount> account = MakeComObject<CHostBankAccount>(log_, row.hostSortCode, row.hostAccount);
        ASSERT_HR(S_OK, Import(account.Get()));
        EXPECT_EQ(row.references, References());
        for (std::size_t i = 0; i < statement_->Size(); ++i) {
            const VARIANT& id = statement_->Transaction(i).Data().id.Get();
            EXPECT_EQ(VT_I4, V_VT(&id));
            EXPECT_EQ(static_cast<LONG>(i) + 1, V_I4(&id));
        }
    }
}

TEST_F(StatementImport, AFileWithoutLinesEmptiesTheStatement) {
    Choose(WriteStatement(kHeader18 + Ours("OLD,,,,", "DD", "1", "")));
    ASSERT_HR(S_OK, Import());
    ASSERT_EQ(1u, statement_->Size());
    statement_->SetBalance(99.5);

    Choose(WriteStatement(kHeader18));
    log_->Clear();
    EXPECT_HR(S_OK, Import());
    EXPECT_EQ(0, Status());
    EXPECT_EQ(0u, statement_->Size()) << "cleared";
    EXPECT_EQ(0.0, statement_->Balance());
    const Texts expected = {"account.GetBankDetails()", "details.GetAccountNumber()", "details.GetSortCode()",
                            "statement.Clear()", "statement.SetBalance(0)"};
    EXPECT_EQ(expected, log_->Texts());
}

// A file that cannot be imported whole is read to its end before the
// statement is touched: the statement keeps what it held, and the host is
// told why, in words that name the file and the line.
TEST_F(StatementImport, AFileThatCannotBeImportedWholeLeavesTheStatementAndSaysWhy) {
    struct Row {
        const char* name;
        std::string path;
        std::string why;  // the description after the path, or with "Line N of " before it
    };
    const std::string gap =
        WriteStatement(kHeader18 + Ours("N,,,,", "A", "1", "") + "\r\n" + Ours("N,,,,", "B", "1", "") + "garbled\r\n" +
                       Ours("N,,,,", "C", "1", "") + "\r\n");
    const std::string header =
        WriteStatement("1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17\r\n" + Ours("N,,,,", "DD", "1", ""));
    const std::string missing = "C:\\no-such-folder\\statement.csv";
    const CSilentPipe pipe;
    ASSERT_TRUE(pipe.Made());
    const Row rows[] = {
        {"a readable line after an empty one", gap,
         "Line 3 of " + gap + " cannot be read: it is empty; a statement line has at least 14 fields."},
        {"17 header fields", header,
         header + " is not a statement file: its header has 17 fields; a statement's header has 14 or 18."},
        {"missing file", missing, missing + " cannot be opened."},
        // Read, a device or a pipe could hold the host's window thread for ever.
        {"NUL", "NUL", "NUL is a device or a pipe, not a statement file."},
        {"a named pipe", pipe.Path(), pipe.Path() + " is a device or a pipe, not a statement file."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Choose(WriteStatement(kHeader18 + Ours("OLD,,,,", "DD", "1", "")));
        ASSERT_HR(S_OK, Import());
        statement_->SetBalance(99.5);

        std::vector<std::string> output;
        ScopedDebugOutputHandler capture([&output](const char* text) { output.emplace_back(text); });
        Choose(row.path, "AcceptRejected=1\r\n");
        log_->Clear();
        EXPECT_HR(0x800AFFFFu, Import());
        EXPECT_EQ(Utf8(WideFromAnsi(row.why.c_str())), Utf8(test::DescriptionOnThread()));
        EXPECT_EQ(Texts{}, log_->Texts()) << "the statement and the account were touched";
        EXPECT_EQ(Texts{"DD"}, References()) << "the earlier import's transaction";
        EXPECT_EQ(99.5, statement_->Balance());
        if (row.path == gap) {
            EXPECT_NE(output.end(), std::find(output.begin(), output.end(),
                                              "Statement file: 2 readable lines after line 3 not read\n"));
        }
    }
}

TEST_F(StatementImport, CancelLeavesStatusOneAndTheHostsObjectsUntouched) {
    const std::string path = WriteStatement(kHeader18 + Ours("N,,,,", "DD", "1", ""));
    Choose(path);
    ASSERT_HR(S_OK, Import());
    ASSERT_EQ(1u, statement_->Size());
    const struct {
        const char* name;
        std::string configuration;
    } cancels[] = {
        {"cancelled", "[Chooser]\r\nFile=" + path + "\r\nCancel=1\r\n"},
        {"refused by the test", "[Chooser]\r\nFile=" + WriteStatement("a,b\r\n") + "\r\n"},
        {"chooser cannot tell", "[Chooser]\r\nFile=" + path + "\r\n[Failures]\r\nchooser.GetCancelled=0x80004005\r\n"},
        // A chosen path that cannot be opened as named is no file chosen.
        {"path too long", "[Chooser]\r\nFile=C:\\" + std::string(300, 'x') + ".csv\r\nAcceptRejected=1\r\n"},
        {"no path", "[Chooser]\r\nFile=" + path + "\r\n[NullTexts]\r\nchooser.GetFilePath=1\r\n"},
    };
    for (const auto& cancel : cancels) {
        SCOPED_TRACE(cancel.name);
        Configure(cancel.configuration);
        log_->Clear();
        EXPECT_HR(S_OK, Import());
        EXPECT_EQ(1, Status());
        EXPECT_EQ(Texts{}, log_->Texts()) << "nothing called on the account or the statement";
        EXPECT_EQ(1u, statement_->Size());

        Choose(path);
        EXPECT_HR(S_OK, Import());
        EXPECT_EQ(0, Status()) << "a later import with a file";
    }
}

TEST_F(StatementImport, AccountDetailsTheHostCannotGiveEndTheImport) {
    Choose(WriteStatement(kHeader18 + Line("123456", "12345678", "01/02/2006", "N,,,,", "A", "1", "") +
                          Line("654321", "87654321", "01/02/2006", "N,,,,", "B", "1", "")));
    ASSERT_HR(S_OK, Import());
    EXPECT_EQ(Texts{"A"}, References());

    // Neither the last import's account nor none is a stand-in for details
    // the host failed to give: the import ends with the host's failure, and
    // the statement keeps what it held.
    for (const char* call : {"account.GetBankDetails", "details.GetAccountNumber", "details.GetSortCode"}) {
        SCOPED_TRACE(call);
        log_->FailCall(call, E_FAIL);
        log_->Clear();
        EXPECT_HR(kHostFailed, Import());
        EXPECT_EQ(Texts{"A"}, References());
        EXPECT_EQ(Texts{}, log_->Texts("statement"));
        log_->FailCall(call, S_OK);
    }

    // A null text keeps that value alone.
    ComPtr<CHostBankAccount> other = MakeComObject<CHostBankAccount>(log_, L"654321", L"87654321");
    log_->ReturnNullText("details.GetAccountNumber");
    ASSERT_HR(S_OK, Import(other.Get()));
    EXPECT_EQ(Texts{}, References()) << "654321 with the kept account 12345678";
}

TEST_F(StatementImport, FailuresReachTheHostAsItsFailure) {
    const std::string path = WriteStatement(kHeader18 + Ours("N,,,,", "A", "1", "") + Ours("N,,,,", "B", "1", "") +
                                            Ours("N,,,,", "C", "1", ""));
    struct Row {
        const char* name;
        std::string failure;  // [Failures] of the reference host's objects
        HRESULT expected;
        Texts references;  // what the statement holds afterwards
    };
    // clang-format off
    const Row rows[] = {
        {"chooser not registered", "chooser.Create=0x80040154", kHostFailed, {"OLD"}},
        {"chooser not running", "chooser.Run=0x80004005", kHostFailed, {"OLD"}},
        {"bank settings not registered", "bankSettings.Create=0x80040154", kHostFailed, {"OLD"}},
        {"import settings fail", "bankSettings.GetStatementImportSettings=0x80004005", kHostFailed, {"OLD"}},
        {"file choice fails", "chooser.SelectFile=0x80004005", kHostFailed, {"OLD"}},
        {"chosen path not given", "chooser.GetFilePath=0x80004005", kHostFailed, {"OLD"}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Choose(WriteStatement(kHeader18 + Ours("N,,,,", "OLD", "1", "")));
        ASSERT_HR(S_OK, Import());
        Choose(path, "[Failures]\r\n" + row.failure + "\r\n");
        log_->Clear();
        SetErrorInfo(0, nullptr);
        EXPECT_HR(row.expected, Import());
        EXPECT_EQ(row.references, References());
        EXPECT_EQ(Texts{}, log_->Texts()) << "the statement is not touched";
        IErrorInfo* info = nullptr;
        EXPECT_HR(S_FALSE, GetErrorInfo(0, &info)) << "no error information";
    }

    // A statement that cannot be emptied is not added to.
    Choose(path);
    for (const char* call : {"statement.Clear", "statement.SetBalance"}) {
        SCOPED_TRACE(call);
        log_->FailCall(call, E_FAIL);
        log_->Clear();
        EXPECT_HR(kHostFailed, Import());
        EXPECT_EQ(Texts{}, log_->Texts("transaction[0]"));
        log_->FailCall(call, S_OK);
    }

    // AddTransaction failing ends the import there.
    log_->FailCall("statement.AddTransaction", E_OUTOFMEMORY);
    EXPECT_HR(kHostFailed, Import());
    EXPECT_EQ(Texts{}, References());
    log_->FailCall("statement.AddTransaction", S_OK);

    // A transaction that cannot take its values is not left half-made: the
    // statement is emptied and the host's failure reported.
    for (const char* call : {"transaction[1].SetID", "transaction[1].SetAmount", "transaction[0].SetReference"}) {
        SCOPED_TRACE(call);
        log_->FailCall(call, E_FAIL);
        log_->Clear();
        EXPECT_HR(kHostFailed, Import());
        EXPECT_EQ(Texts{}, References());
        EXPECT_EQ("statement.Clear()", log_->Texts("statement").back());
        log_->FailCall(call, S_OK);
    }
}

TEST_F(StatementImport, AFailingAddTransactionEmptiesTheStatement) {
    // A statement that fails its second AddTransaction with no transaction.
    class CFailingSecond : public test::CFakeDispatch<ITorvoBankStatement> {
    public:
        explicit CFailingSecond(CHostStatement* inner) : inner_(inner) {}
        HRESULT STDMETHODCALLTYPE GetItem(long, ITorvoBankTransaction**) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetCount(long*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE AddTransaction(ITorvoBankTransaction** added) override {
            if (++adds == 2) {
                *added = nullptr;
                return nullResult;
            }
            return inner_->AddTransaction(added);
        }
        HRESULT STDMETHODCALLTYPE Clear() override { return inner_->Clear(); }
        HRESULT STDMETHODCALLTYPE RemoveTransaction(long) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetBalance(double*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE SetBalance(double balance) override { return inner_->SetBalance(balance); }
        int adds = 0;
        HRESULT nullResult = S_OK;

    private:
        CHostStatement* inner_;
    };
    Choose(WriteStatement(kHeader18 + Ours("N,,,,", "A", "1", "") + Ours("N,,,,", "B", "1", "") +
                          Ours("N,,,,", "C", "1", "")));
    for (const HRESULT result : {S_OK, E_FAIL}) {
        SCOPED_TRACE(HResultText(result));
        CFailingSecond statement(statement_.Get());
        statement.nullResult = result;
        EXPECT_HR(kHostFailed, service_->ImportStatement(account_.Get(), &statement));
        EXPECT_EQ(2, statement.adds) << "the import stops at the failure";
        EXPECT_EQ(Texts{}, References()) << "part of the file was left on the statement";
        EXPECT_EQ(0u, statement.references);
    }
}

TEST_F(StatementImport, NullObjectsAreInvalidArguments) {
    Choose(WriteStatement(kHeader18 + Ours("N,,,,", "A", "1", "")));
    ASSERT_HR(S_OK, Import());
    CAccountWithoutDetails withoutDetails;
    struct Row {
        const char* name;
        ITorvoBankAccount* account;
        ITorvoBankStatement* statement;
        Texts calls;
    };
    // clang-format off
    const Row rows[] = {
        {"no account", nullptr, statement_.Get(), {}},
        {"no statement", account_.Get(), nullptr, {}},
        {"no details", &withoutDetails, statement_.Get(), {}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        log_->Clear();
        SetErrorInfo(0, nullptr);
        EXPECT_HR(kComponentInvalidArgument, service_->ImportStatement(row.account, row.statement));
        EXPECT_EQ(row.calls, log_->Texts());
        EXPECT_EQ(1u, statement_->Size()) << "the statement was emptied";
    }
    EXPECT_EQ(0u, withoutDetails.references);
}

TEST_F(StatementImport, AddsWhatPaylodeStatementReportsForTheSameFile) {
    ExpectWhatPaylodeStatementReports(service_.Get());
}

// The component DLL registered with regsvr32, and the statement service
// reached as the host reaches it: the bank by its ProgID, its services
// collection, the service by its name.
class RegisteredStatementService : public testrig::WithRegisteredComponent<StatementImport> {
protected:
    void TearDown() override {
        CoFreeUnusedLibrariesEx(0, 0);
        StatementImport::TearDown();
    }
};

TEST_F(RegisteredStatementService, AddsWhatPaylodeStatementReportsForTheSameFile) {
    ASSERT_TRUE(component_->Registration().Succeeded()) << component_->Registration();
    CLSID clsid = {};
    ASSERT_HR(S_OK, CLSIDFromProgID(L"TorvoKelmarBankPaylode.Bank", &clsid));
    ComPtr<ITorvoBank> bank;
    ASSERT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITorvoBank, &bank));
    ComPtr<ITorvoBankServices> services;
    ASSERT_HR(S_OK, bank->GetServices(&services));
    const CBstr serviceName = CBstr::Make(L"Bank Reconciliation Service");
    VARIANT name;
    VariantInit(&name);
    V_VT(&name) = VT_BSTR;
    V_BSTR(&name) = serviceName.Get();  // borrowed: the VARIANT is not cleared
    ComPtr<ITorvoBankService> found;
    EXPECT_HR(S_OK, services->GetItem(&name, &found));
    ComPtr<ITorvoBankStatementService> service;
    ASSERT_HR(S_OK, found.As(&service));
    ExpectWhatPaylodeStatementReports(service.Get());
}

// After an import, the journal's payments from the imported account that
// its debits match are marked as seen on the statement, once however often
// the statement is imported; a journal that cannot be read never fails the
// import.
TEST_F(StatementImport, MarksTheJournalsPaymentsTheStatementShows) {
    ASSERT_TRUE(CreateDirectoryA(journalFolder_.c_str(), nullptr));
    JournalRun run;
    run.run = "R1";
    run.exported = {2006, 1, 30, 0, 9, 0, 0};
    run.payerSortCode = "12-34-56";
    run.payerAccountNumber = "12345678";
    run.processingDate = OleDateOfDay(2006, 2, 1);
    const std::string journal = journalFolder_ + "\\PaylodeJournal-2006.csv";
    std::ofstream(journal, std::ios::binary) << JournalAppendText(
        "", run,
        {{1, "A", "65-43-21", "87654321", 12.5, "INV1", "INV1"}, {2, "B", "65-43-21", "1", 20, "INV2", "INV2"}});
    const std::string path =
        WriteStatement(kHeader18 + Ours("BACS INV1,,,,", "DD", "12.50", "") + Ours("OTHER,,,,", "DD", "30.00", ""));
    Choose(path);
    const auto marks = [this] {
        DateFields now;
        EXPECT_TRUE(FieldsFromOleDate(GetToday(), &now));
        std::ifstream file(journalFolder_ + "\\" + StatementMarksFileName(now.year), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    };
    ASSERT_HR(S_OK, Import());
    CStatementMarks seen;
    seen.Read(marks());
    EXPECT_EQ("2006-02-01", seen.SeenOn("R1", 1));
    EXPECT_EQ("", seen.SeenOn("R1", 2));
    const std::string once = marks();
    ASSERT_HR(S_OK, Import());
    EXPECT_EQ(once, marks()) << "marked again";

    // A journal file that cannot be read: the import as without a journal,
    // and a debugger line.
    DeleteFileA(journal.c_str());
    ASSERT_TRUE(CreateDirectoryA(journal.c_str(), nullptr));
    std::string told;
    {
        ScopedDebugOutputHandler debugger([&told](const char* text) { told += text; });
        ASSERT_HR(S_OK, Import());
    }
    RemoveDirectoryA(journal.c_str());
    EXPECT_EQ(2u, statement_->Size());
    EXPECT_NE(std::string::npos, told.find("imported, its payments not marked in the journal: ")) << told;
}

TEST_F(StatementImport, StatusTextWritesNothing) {
    BSTR text = reinterpret_cast<BSTR>(this);
    EXPECT_HR(S_OK, service_->GetStatusText(20, &text));
    EXPECT_EQ(reinterpret_cast<BSTR>(this), text);
    EXPECT_HR(kComponentInvalidArgument, service_->GetStatusText(0, nullptr));
    CBstr name;
    ASSERT_HR(S_OK, service_->GetName(name.Receive()));
    EXPECT_EQ(std::wstring(L"Bank Reconciliation Service"), name.Get());
    ComPtr<IBankStatementService> dual;
    EXPECT_HR(S_OK, service_.As(&dual));
    ComPtr<ITorvoBankService> base;
    EXPECT_HR(E_NOINTERFACE, service_.As(&base));
}

// The chooser calls the component's own statement-file test through the
// block, in this program's bitness.
TEST_F(StatementImport, TheChooserCallsIsStatementFile) {
    auto header = [](int fields) {
        std::string text = "F1";
        for (int i = 2; i <= fields; ++i) text += ",F" + std::to_string(i);
        return text + "\r\n";
    };
    struct Row {
        const char* name;
        std::string path;
        int accepted;
    };
    const CSilentPipe pipe;
    ASSERT_TRUE(pipe.Made());
    // clang-format off
    const Row rows[] = {
        {"18 fields", WriteStatement(header(18)), 1},
        {"14 fields", WriteStatement(header(14) + "x\r\n"), 1},
        {"17 fields", WriteStatement(header(17)), 0},
        {"a quoted comma", WriteStatement("\"F1,a\"," + header(17)), 1},
        {"missing file", "C:\\no-such-folder\\statement.csv", 0},
        {"NUL", "NUL", 0},
        {"a named pipe", pipe.Path(), 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Choose(row.path, "Cancel=0\r\n");
        EXPECT_HR(S_OK, Import());
        const std::string test = "chooser.IsStatementFile(\"" + row.path + "\") -> " +
                                 (row.accepted ? "1 \"Kelmar Bank Paylode Statement\"" : "0 \"\"");
        const Texts recorded = Recorded();
        EXPECT_NE(recorded.end(), std::find(recorded.begin(), recorded.end(), test));
        EXPECT_EQ(row.accepted ? 0 : 1, Status());

        char description[64];
        std::memset(description, '#', sizeof description);
        EXPECT_EQ(row.accepted, IsStatementFile(description, row.path.c_str()));
        if (row.accepted) {
            EXPECT_EQ(0, std::memcmp(description, "Kelmar Bank Paylode Statement", 30));
            EXPECT_EQ('#', description[30]);
        } else {
            EXPECT_EQ(std::string(64, '#'), std::string(description, 64)) << "untouched";
        }
    }
    EXPECT_EQ(0, IsStatementFile(nullptr, nullptr));
}

}  // namespace
}  // namespace paylode::referencehost
