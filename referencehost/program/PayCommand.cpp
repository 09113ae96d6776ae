/*
 * `paylode-host pay BATCH.csv --format N --date YYYY-MM-DD --out FILE ...`:
 * the host's payment export. The batch comes from the same CSV that
 * `paylode export` reads; ProcessPayments runs on the registered payment
 * service, and the program answers everything the run shows as a user
 * would: the payment options dialog through its controls, the save-file
 * dialog with FILE, and the message boxes.
 *
 * Every answer is set to exactly what the options ask, whatever the
 * settings file proposed when the dialog opened: the format's radio button,
 * the date picker, the Republic Of Ireland box (cleared without --euro),
 * each enabled field emptied and typed into, and the IAT rows marked with
 * Set. When the dialog refuses OK, its message is printed and the dialog
 * cancelled, as a user gives up.
 *
 * With --repeat N the batch and the answers are read once and the run goes
 * N times in one process (RepeatedRuns.h).
 *
 * Exit status: the service's status value (0, 1, 2, 3 or 40), or
 * kHostFailure for unusable arguments or input, a component that is not
 * registered or a failing HRESULT; with --repeat, the last run's.
 */
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/AccountChecks.h"
#include "cli/BatchCsv.h"
#include "cli/Commands.h"
#include "cli/ProcessingDate.h"
#include "combase/ComPointers.h"
#include "common/FileSystem.h"
#include "common/OleDate.h"
#include "common/win/Owners.h"
#include "referencehost/DialogDrivers.h"
#include "referencehost/HostPayments.h"
#include "referencehost/Regsvr32.h"
#include "referencehost/WindowPicture.h"
#include "referencehost/program/HostCommands.h"
#include "referencehost/program/HostToolkit.h"
#include "referencehost/program/MessageBoxes.h"
#include "referencehost/program/RepeatedRuns.h"

namespace paylode::hostprogram {
namespace {

using Microsoft::WRL::ComPtr;
using referencehost::CHostBankAccount;
using referencehost::CHostCallLog;
using referencehost::CHostPayments;
using referencehost::PaymentData;

struct PayOptions {
    std::string batch;
    PaymentFormat format = PaymentFormat::Standard;
    std::string date;
    std::string out;
    std::string templateName;
    std::string reference;
    bool euro = false;
    std::string iat;
    std::string account;
    std::string overwriteTemplate = "no";
    std::string closedDateWarning = "yes";
    std::string accountWarning = "yes";
    std::string cancel;
    bool statuses = false;
    std::string screenshot;
    bool checkAccounts = false;
    std::string tables;
    FaultOptions faults;
    int repeat = 0;  // --repeat N; 0 when not given
};

// What the options ask of the dialog, checked and ready to type.
struct DialogAnswers {
    PaymentFormat format = PaymentFormat::Standard;
    DateFields day;  // the processing date to pick
    bool euro = false;
    std::string templateName, reference;  // ANSI, as typed
    std::vector<int> iatRows;
    bool cancel = false;
    std::string picture;  // where the dialog's picture goes (ANSI), or empty
};

std::string ReadBytes(const std::string& path) {
    std::optional<std::string> bytes =
        ReadWholeFile(std::filesystem::path(WideFromUtf8(Utf8Text(path))), nullptr, kAnyFileBytes);
    if (!bytes) throw HostFailure{"cannot read " + path};
    return std::move(*bytes);
}

// The host's batch: each payment as the CSV gives it, the status field
// holding an IAT mark where the CSV marks one.
std::vector<PaymentData> ReadBatch(const std::string& path) {
    std::vector<cli::BatchPayment> read;
    std::string error;
    if (!cli::ReadBatchPayments(ReadBytes(path), &read, &error)) throw HostFailure{path + ": " + error};
    std::vector<PaymentData> payments;
    payments.reserve(read.size());
    for (cli::BatchPayment& row : read) {
        PaymentData payment;
        static_cast<cli::BatchPayment&>(payment) = std::move(row);
        payments.push_back(std::move(payment));
    }
    return payments;
}

// "--iat 0,3,7": the rows of the dialog's list to mark, each a payment of
// the batch.
std::vector<int> ParseIatRows(const std::string& text, std::size_t count) {
    std::vector<int> rows;
    if (text.empty()) return rows;
    std::stringstream list(text);
    for (std::string item; std::getline(list, item, ',');) {
        const bool digits =
            !item.empty() && item.size() <= 9 && item.find_first_not_of("0123456789") == std::string::npos;
        if (!digits) throw HostFailure{"--iat must list payment indexes from 0, separated by commas: \"" + item + "\""};
        const int row = std::stoi(item);
        if (static_cast<std::size_t>(row) >= count) {
            throw HostFailure{"--iat: payment " + item + " is not in the batch of " + std::to_string(count) +
                              " payments"};
        }
        rows.push_back(row);
    }
    if (text.back() == ',') throw HostFailure{"--iat must not end with a comma"};
    return rows;
}

DialogAnswers ReadAnswers(const PayOptions& options, std::size_t count) {
    DialogAnswers answers;
    answers.format = options.format;
    const std::optional<double> date = ParseIsoDate(options.date);
    if (!date || !FieldsFromOleDate(*date, &answers.day)) {
        throw HostFailure{"--date must be a calendar date written YYYY-MM-DD"};
    }
    answers.euro = options.euro;
    answers.templateName = AnsiForTyping(Utf8Text(options.templateName), "--template");
    answers.reference = AnsiForTyping(Utf8Text(options.reference), "--reference");
    answers.iatRows = ParseIatRows(options.iat, count);
    if (!answers.iatRows.empty() && !AllowsIatMarks(options.format)) {
        throw HostFailure{"--iat marks inter-account transfers in formats 0 and 1 only"};
    }
    answers.cancel = options.cancel == "options";
    if (!options.screenshot.empty()) {
        answers.picture = AnsiForTyping(Utf8FromWide(FullPath(Utf8Text(options.screenshot))), "--screenshot");
    }
    return answers;
}

// The user at the payment options dialog.
struct OptionsDialogUser {
    DialogAnswers answers;
    HWND dialog = nullptr;
    bool okPressed = false;
    bool refused = false;
    bool pictureSaved = false;

    void Answer(HWND window) {
        dialog = window;
        Click(window, IDC_FORMAT_STANDARD + PaymentFormatNumber(answers.format));
        PickDate(window, IDC_PROCESSING_DATE, answers.day.year, answers.day.month, answers.day.day);
        if ((IsDlgButtonChecked(window, IDC_IRELAND) == BST_CHECKED) != answers.euro) Click(window, IDC_IRELAND);
        // The format and the Ireland box set the fields' texts, so the fields
        // are typed into after them.
        if (IsWindowEnabled(GetDlgItem(window, IDC_TEMPLATE))) Type(window, IDC_TEMPLATE, answers.templateName);
        if (IsWindowEnabled(GetDlgItem(window, IDC_REFERENCE))) Type(window, IDC_REFERENCE, answers.reference);
        if (!answers.iatRows.empty()) {
            if (IsDlgButtonChecked(window, IDC_IAT_CHECK) != BST_CHECKED) Click(window, IDC_IAT_CHECK);
            SelectRows(window, IDC_IAT_LIST, answers.iatRows);
            Click(window, IDC_SET);
        }
        if (!answers.picture.empty()) {
            // The picture shows the list's last columns: the IAT marks and
            // the account checks.
            ScrollToLastColumn(window, IDC_IAT_LIST);
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            pictureSaved = referencehost::SaveWindowPicture(window, answers.picture);
        }
        okPressed = !answers.cancel;
        PostMessageA(window, WM_COMMAND, answers.cancel ? IDCANCEL : IDOK, 0);
    }
};

constexpr const char kTemplateQuestion[] = "Bulk List Template Exists";
constexpr const char kChangesQuestion[] = "Changes have been made";
// The dialog's questions about a date on which the banks are closed, and
// about payee accounts that fail their check or payments that repeat.
constexpr const char kClosedDateQuestion[] = "The bank is closed on ";
constexpr std::string_view kPayeeQuestionEnd = ". Export the payment file anyway?";

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool IsSaveFileDialog(HWND window) { return window != nullptr && GetDlgItem(window, kFileNameBox) != nullptr; }

void PrintStatuses(ITorvoBankPaymentService* service, CHostPayments& batch) {
    for (std::size_t index = 0; index < batch.Size(); ++index) {
        const long code = batch.Payment(index).Data().status;
        CBstr text;
        const HRESULT result = service->GetStatusText(code, text.Receive());
        const std::string utf8 =
            SUCCEEDED(result) && text.Get() != nullptr ? Utf8FromWide({text.Get(), text.Length()}).Bytes() : std::string();
        cli::WriteStatusLine(stdout, index, code, utf8.c_str());
    }
    std::fflush(stdout);
}

// The payee accounts' modulus checks as warnings on standard error, before
// the run; the run itself is not changed by them.
void WarnOfAccounts(const PayOptions& options, const std::vector<PaymentData>& payments) {
    const std::string folder =
        options.tables.empty() ? Utf8FromWide(referencehost::PathBesideProgram(L"modulus")).Bytes() : options.tables;
    const std::optional<CModulusTables> tables = cli::LoadModulusTables(folder, "pay");
    if (!tables) throw HostFailure{"--check-accounts: the modulus tables cannot be read"};
    for (std::size_t i = 0; i < payments.size(); ++i) {
        const std::string warning = cli::AccountWarning(*tables, i, Utf8FromWide(payments[i].payeeSortCode).Bytes(),
                                                        Utf8FromWide(payments[i].payeeAccountNumber).Bytes());
        if (!warning.empty()) std::cerr << warning << "\n";
    }
}

// What every run of the command uses, read and checked once.
struct PayInput {
    std::vector<PaymentData> payments;
    DialogAnswers answers;
    std::string typedOut;  // FILE, ANSI, as typed into the save-file dialog
    std::unique_ptr<AccountOption> account;
};

PayInput ReadPayInput(const PayOptions& options) {
    PayInput input;
    input.payments = ReadBatch(options.batch);
    if (options.checkAccounts) WarnOfAccounts(options, input.payments);
    input.answers = ReadAnswers(options, input.payments.size());
    input.typedOut = AnsiForTyping(Utf8FromWide(FullPath(Utf8Text(options.out))), "--out");
    if (!options.account.empty()) input.account = std::make_unique<AccountOption>(ParseAccount(options.account));
    return input;
}

// One payment run: a new batch of the payments, the service fetched from a
// new bank, ProcessPayments answered as the options say, and its outcome.
int PayOnce(const PayOptions& options, const PayInput& input) {
    OptionsDialogUser user{input.answers};
    const ComPtr<ITorvoBankService> found = ServiceNamed(L"Bank Payment Service");
    ComPtr<ITorvoBankPaymentService> service;
    if (FAILED(found.As(&service))) throw HostFailure{"\"Bank Payment Service\" is not a payment service"};

    const auto log = std::make_shared<CHostCallLog>();
    log->CountOnly();
    const ComPtr<CHostPayments> batch = MakeComObject<CHostPayments>(log, input.payments);
    ComPtr<CHostBankAccount> paying;
    if (input.account) paying = MakeComObject<CHostBankAccount>(log, input.account->sortCode, input.account->accountNumber);

    CPaymentOptionsDriver optionsDialog([&user](HWND window) { user.Answer(window); });
    CSaveDialogDriver saveDialog(options.cancel == "save" ? std::string() : input.typedOut);
    CMessageBoxAnswers boxes([&](const referencehost::MessageBoxContents& box) {
        if (box.caption == kTemplateQuestion) return options.overwriteTemplate == "yes" ? IDYES : IDNO;
        // The save-file dialog asks before it replaces FILE, which the user named.
        if (IsSaveFileDialog(box.owner)) return IDYES;
        if (box.caption == kChangesQuestion) return IDYES;
        const bool closedDate = box.text.rfind(kClosedDateQuestion, 0) == 0;
        if (box.owner == user.dialog && (closedDate || EndsWith(box.text, kPayeeQuestionEnd))) {
            if ((closedDate ? options.closedDateWarning : options.accountWarning) == "yes") return IDYES;
            // No leaves the dialog open: the user then gives up, as after a
            // refused OK.
            user.refused = true;
            PostMessageA(user.dialog, WM_COMMAND, IDCANCEL, 0);
            return IDNO;
        }
        if (user.okPressed && box.owner == user.dialog && !user.refused) {
            // The dialog refused OK: the user reads its message and gives up.
            user.refused = true;
            PostMessageA(user.dialog, WM_COMMAND, IDCANCEL, 0);
            return IDOK;
        }
        return IDOK;
    });

    const CHostCallWatch watch(options.faults);
    const HRESULT returned = service->ProcessPayments(batch.Get(), paying.Get());
    const std::string calls = watch.Report();
    const RunOutcome run = ReadRunOutcome(returned, service.Get());

    if (options.statuses) PrintStatuses(service.Get(), *batch.Get());
    if (!optionsDialog.met && run.status != 40 && SUCCEEDED(run.result)) {
        std::cerr << "paylode-host pay: the payment options dialog never appeared\n";
    }
    if (!user.answers.picture.empty() && !user.pictureSaved) {
        std::cerr << "paylode-host pay: the picture of the dialog could not be saved to " << options.screenshot << "\n";
    }
    if (user.refused) std::cerr << "paylode-host pay: the payment options dialog refused OK; the run was cancelled\n";
    std::cerr << "paylode-host pay: " << calls << "\n";
    std::cerr << "paylode-host pay: " << run.Line("ProcessPayments") << "\n";
    return FAILED(run.result) ? kHostFailure : static_cast<int>(run.status);
}

// The batch and the answers are read once; the runs share one apartment, so
// the component stays loaded from the first run to the last, as in a host
// that runs all day.
int RunPay(const PayOptions& options) {
    const PayInput input = ReadPayInput(options);
    CComApartment apartment;
    return RunRepeatedly(options.repeat, "paylode-host pay", [&] { return PayOnce(options, input); });
}

}  // namespace

void AddPayCommand(CLI::App& app, Outcome& outcome) {
    const auto [command, options] = cli::AddCommand(
        app, outcome, "pay",
        "Export a batch of payments (the CSV that `paylode export` reads) through the registered payment\n"
        "service, answering its dialogs as a user would. Exit status: the service's status value (0, 1, 2,\n"
        "3 or 40), or 100.", RunPay);
    command->add_option("BATCH", options->batch, "the batch of payments, CSV")->required();
    cli::AddPaymentFormatOption(*command, &options->format);
    command->add_option("--date", options->date, "processing date picked in the dialog, YYYY-MM-DD")->required();
    command->add_option("--out", options->out, "the payment file named in the save-file dialog")->required();
    command->add_option("--template", options->templateName, "typed into the template field");
    command->add_option("--reference", options->reference, "typed into the beneficiary reference field");
    command->add_flag("--euro", options->euro, "tick Republic Of Ireland Payment (cleared without it)");
    command->add_option("--iat", options->iat, "payments to mark as IATs with Set, e.g. 0,2,5 (formats 0 and 1)");
    command->add_option("--account", options->account, "the paying account, SORTCODE:ACCOUNTNUMBER");
    command
        ->add_option("--overwrite-template", options->overwriteTemplate,
                     "answer to replacing an existing bulk list template file (default no)")
        ->check(CLI::IsMember({"yes", "no"}));
    command
        ->add_option("--closed-date-warning", options->closedDateWarning,
                     "answer to using a processing date on which the banks are closed (default yes; no cancels)")
        ->check(CLI::IsMember({"yes", "no"}));
    command
        ->add_option("--account-warning", options->accountWarning,
                     "answer to exporting when a payee account fails its check or a payment repeats an earlier one "
                     "(default yes; no cancels)")
        ->check(CLI::IsMember({"yes", "no"}));
    command->add_option("--cancel", options->cancel, "cancel the options dialog or the save-file dialog")
        ->check(CLI::IsMember({"options", "save"}));
    command->add_flag("--statuses", options->statuses, "print index,code,text for every payment");
    command->add_option("--screenshot", options->screenshot,
                        "save a picture of the options dialog, as answered, to this BMP file");
    command->add_flag("--check-accounts", options->checkAccounts,
                      "warn on standard error of every payee account that fails the UK modulus checks");
    command->add_option("--tables", options->tables,
                        "the folder of the modulus tables (default: modulus beside the program)");
    AddFaultOptions(*command, options->faults);
    AddCLocaleOption(*command);
    AddRepeatOption(*command, options->repeat);
}

}  // namespace paylode::hostprogram
