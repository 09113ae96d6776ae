/*
 * The payment run's lines in the payment journal (see RunJournal.h).
 */
#include "payments/win/RunJournal.h"

#include <wrl/client.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/DebugOutput.h"
#include "common/LocalClock.h"
#include "common/MessageBox.h"
#include "common/OleDate.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "payments/BankingCalendar.h"
#include "payments/StatementMarks.h"
#include "payments/win/ComponentTables.h"
#include "payments/win/HostPaymentView.h"
#include "payments/win/JournalFile.h"
#include "payments/win/JournalSettings.h"

namespace paylode {

namespace {

// The runs of this process so far: with the process and the second, what
// makes a run's identifier unique.
std::atomic<unsigned long long> runsInProcess{0};

std::string UserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? AnsiFromWide(name) : std::string();
}

std::string MachineName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? AnsiFromWide(name) : std::string();
}

// The paying account's sort code and account number: its bank details, or,
// without them, what the batch's first payment carries.
void ReadPayerAccount(ITorvoBankAccount* account, IPaymentBatchView& batch, JournalRun* run) {
    Microsoft::WRL::ComPtr<ITorvoBankDetails> details;
    if (account != nullptr && SUCCEEDED(account->GetBankDetails(&details)) && details != nullptr) {
        CBstr sortCode;
        CBstr accountNumber;
        if (SUCCEEDED(details->GetSortCode(sortCode.Receive()))) run->payerSortCode = AnsiOf(sortCode).GetString();
        if (SUCCEEDED(details->GetAccountNumber(accountNumber.Receive()))) {
            run->payerAccountNumber = AnsiOf(accountNumber).GetString();
        }
        return;
    }
    if (const std::unique_ptr<IPaymentView> first = batch.GetItem(0)) {
        run->payerSortCode = first->GetPayerSortCode().GetString();
        run->payerAccountNumber = first->GetPayerAccountNumber().GetString();
    }
}

// Tells the clerk and the debugger output that the payment file went out
// without its journal lines.
void ReportJournalNotWritten(const std::string& paymentFile, const std::string& journal, const std::string& why,
                             WindowHandle owner) {
    const std::string where = journal.empty() ? std::string("the payment journal") : "the payment journal " + journal;
    WriteDebugOutput(("Payment file " + paymentFile + " written, " + where + " not: " + why + "\n").c_str());
    ShowMessageBox({owner, kComponentCaption,
                    "The payment file " + paymentFile + " was written, but " + where + " was not: " + why +
                        ".\r\nThe payments are made as the payment file says; only their record in the journal "
                        "is missing.",
                    MessageIcon::Warning, MessageButtons::Ok});
}

}  // namespace

void LookUpInJournalWhenOpen(IPaymentOptionsDialog& dialog, const CString& accountSuffix, IPaymentBatchView& batch) {
    const JournalSettings settings = ReadJournalSettings();
    if (!settings.JournalOn()) return;
    ExportedBeforeWindow window;
    const std::string suffix = accountSuffix.GetString();
    const std::size_t separator = suffix.find('_');
    if (separator != std::string::npos) {
        window.payerSortCode = suffix.substr(0, separator);
        window.payerAccountNumber = suffix.substr(separator + 1);
    } else if (const std::unique_ptr<IPaymentView> first = batch.GetItem(0)) {
        window.payerSortCode = first->GetPayerSortCode().GetString();
        window.payerAccountNumber = first->GetPayerAccountNumber().GetString();
    }
    window.today = GetToday();
    window.windowDays = static_cast<int>(settings.days);
    dialog.SetPaymentJournal(window, [folder = settings.folder, window](CExportedBefore& lookUp) {
        if (folder.empty()) {
            WriteDebugOutput("Payments exported before not checked: the journal folder cannot be found\n");
            return false;
        }
        return ScanJournalFolder(folder, window, lookUp);
    });
}

namespace {

// The journal lines that `keep` accepts and the statement marks of the
// files of `folder` for the years `fromYear` to `toYear`; false, with why,
// when a file that is there cannot be read.
bool ReadJournalYears(const WideString& folder, int fromYear, int toYear,
                      const std::function<bool(const JournalLineKey&)>& keep, std::vector<JournalEntry>* entries,
                      CStatementMarks* marks, std::string* why) {
    std::string bytes;
    for (int year = fromYear; year <= toYear; ++year) {
        const WideString journal = JournalPathIn(folder, year);
        const WideString marksFile = StatementMarksPathIn(folder, year);
        for (const WideString* path : {&journal, &marksFile}) {
            const DWORD error = ReadJournalFile(*path, &bytes);
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) continue;
            if (error != ERROR_SUCCESS) {
                *why = AnsiFromWide(path->c_str()) + " cannot be read: " + Win32Reason(error);
                return false;
            }
            if (path == &marksFile) {
                marks->Read(bytes);
                continue;
            }
            std::vector<JournalEntry> lines = ReadJournalLines(bytes, keep);
            std::move(lines.begin(), lines.end(), std::back_inserter(*entries));
        }
    }
    return true;
}

}  // namespace

void MarkStatementInJournal(const std::string& sortCode, const std::string& accountNumber,
                            const StatementDebits& statement, const std::string& statementFile) {
    std::string why;
    try {
        const JournalSettings settings = ReadJournalSettings();
        // Without a dated debit nothing can match.
        if (!settings.JournalOn() || statement.debits.empty() || statement.first == 0) return;
        // The account's runs whose windows can reach the statement's dates:
        // processed from two weeks before its first date (three banking days
        // never span more) to its last, so exported from some weeks before;
        // and the marks made since.
        const DateFields now = ReadLocalClock();
        DateFields first;
        const std::string from = FormatIsoDate(std::floor(statement.first) - 14);
        const std::string to = FormatIsoDate(std::floor(statement.last));
        const auto keep = [&](const JournalLineKey& key) {
            return key.processingDate >= from && key.processingDate <= to && key.payerSortCode == sortCode &&
                   key.payerAccountNumber == accountNumber;
        };
        std::vector<JournalEntry> entries;
        CStatementMarks known;
        if (settings.folder.empty()) {
            why = "the journal folder cannot be found";
        } else if (FieldsFromOleDate(statement.first - kMaxProcessingDaysAhead, &first) &&
                   ReadJournalYears(settings.folder, first.year, now.year, keep, &entries, &known, &why)) {
            const Reconciliation result =
                Reconcile(ReconcileItems(entries, sortCode, accountNumber, &ComponentBankClosures()), statement);
            const bool matched = std::any_of(result.items.begin(), result.items.end(),
                                             [](const ReconcileItem& item) { return item.statementLine != 0; });
            const WideString path = StatementMarksPathIn(settings.folder, now.year);
            if (matched) {
                why = AppendToCheckedFile(path, "another import", [&](std::string_view end) {
                    return StatementMarksAppendText(end, result, known, statementFile, now);
                });
            }
            if (!why.empty()) why = AnsiFromWide(path.c_str()) + " " + why;
        }
    } catch (...) {
        why = "the journal cannot be read";
    }
    if (!why.empty()) {
        WriteDebugOutput(
            ("Statement " + statementFile + " imported, its payments not marked in the journal: " + why + "\n")
                .c_str());
    }
}

void RecordRunInJournal(ITorvoBankAccount* account, IPaymentBatchView& batch, const std::string& paymentFile,
                        const PaymentFileChoices& choices, const std::vector<JournalPayment>& payments,
                        WindowHandle owner) {
    std::string journal;
    std::string why;
    try {
        const JournalSettings settings = ReadJournalSettings();
        if (!settings.JournalOn() || payments.empty()) return;
        JournalRun run;
        run.exported = ReadLocalClock();
        run.user = UserName();
        run.machine = MachineName();
        run.run = JournalRunId(run.exported, run.machine, GetCurrentProcessId(), ++runsInProcess);
        run.format = static_cast<int>(choices.paymentFormat);
        run.processingDate = choices.processingDate;
        run.currency = choices.ireland ? "EUR" : "GBP";
        run.paymentFile = paymentFile;
        if (settings.folder.empty()) {
            why = "the journal folder cannot be found";
        } else {
            const WideString path = JournalPathIn(settings.folder, run.exported.year);
            journal = AnsiFromWide(path.c_str());
            ReadPayerAccount(account, batch, &run);
            if (Sha256OfFile(WideFromAnsi(paymentFile.c_str()), &run.paymentFileSha256, &why)) {
                why = AppendToJournal(path, run, payments);
            }
        }
    } catch (...) {
        why = "the payment run's details cannot be read";
    }
    if (why.empty()) return;
    try {
        ReportJournalNotWritten(paymentFile, journal, why, owner);
    } catch (...) {
        // Nothing is left to tell the clerk with; the run goes on as it ended.
    }
}

}  // namespace paylode
