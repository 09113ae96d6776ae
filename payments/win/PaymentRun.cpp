/*
 * The payment run (see PaymentRun.h).
 */
#include "payments/win/PaymentRun.h"

#include <wrl/client.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "combase/HostBankSettings.h"
#include "combase/Module.h"
#include "common/CString.h"
#include "common/DebugOutput.h"
#include "common/HResult.h"
#include "common/MessageBox.h"
#include "common/Settings.h"
#include "common/win/SettingsStore.h"
#include "payments/PaymentFile.h"
#include "payments/win/DefaultPaymentPathWin.h"
#include "payments/win/HostBatchView.h"
#include "payments/win/HostPaymentView.h"
#include "payments/win/PaymentOptionsSeam.h"
#include "payments/win/RunJournal.h"
#include "payments/win/SaveFileDialog.h"
#include "resources/resource.h"

namespace paylode {

namespace {

// Payment files are always text files.
constexpr const char* kPaymentFileExtension = "txt";

// The suffix that keeps the remembered choices apart per paying account:
// empty without an account or its bank details.
CString AccountSuffixOf(ITorvoBankAccount* account) {
    Microsoft::WRL::ComPtr<ITorvoBankDetails> details;
    if (account == nullptr || FAILED(account->GetBankDetails(&details)) || details == nullptr) {
        return AccountKeySuffix(false, nullptr, nullptr);
    }
    CBstr sortCode;
    const bool haveSortCode = SUCCEEDED(details->GetSortCode(sortCode.Receive()));
    const CString sortCodeText = AnsiOf(sortCode);
    CBstr accountNumber;
    const bool haveAccountNumber = SUCCEEDED(details->GetAccountNumber(accountNumber.Receive()));
    const CString accountNumberText = AnsiOf(accountNumber);
    return AccountKeySuffix(true, haveSortCode ? sortCodeText.GetString() : nullptr,
                            haveAccountNumber ? accountNumberText.GetString() : nullptr);
}

void ShowTooManyPayments() {
    MessageRequest request;
    request.owner = GetActiveWindow();
    request.caption = kComponentCaption;
    CString text;
    text.LoadString(CModule::Instance(), IDS_TOO_MANY_PAYMENTS);
    request.text = text.GetString();
    request.icon = MessageIcon::Warning;
    request.buttons = MessageButtons::Ok;
    ShowMessageBox(request);
}

// One of the run's own messages, in the component's caption, with an OK button.
void ShowRunMessage(HWND owner, MessageIcon icon, const std::string& text) {
    ShowMessageBox({owner, kComponentCaption, text, icon, MessageButtons::Ok});
}

}  // namespace

std::string PaymentFileFilter() {
    CString filter;
    filter.Format("Payment Files (*.%s)|*.%s|All Files (*.*)|*.*||", kPaymentFileExtension, kPaymentFileExtension);
    std::string list = filter.GetString();
    for (char& c : list) {
        if (c == '|') c = '\0';
    }
    return list;
}

namespace {

// The paying account's choices of its last run: where they are kept, and
// the template name, beneficiary reference and shared Ireland flag.
struct RememberedChoices {
    CString suffix;
    CString templateKey;
    CString referenceKey;
    CString templateName;
    CString reference;
    int ireland = 0;
};

RememberedChoices ReadRememberedChoices(ITorvoBankAccount* account) {
    RememberedChoices remembered;
    remembered.suffix = AccountSuffixOf(account);
    remembered.templateKey = TemplateKey(remembered.suffix);
    remembered.referenceKey = BenRefKey(remembered.suffix);
    LoadSettingString(remembered.templateKey, remembered.templateName);
    LoadSettingString(remembered.referenceKey, remembered.reference);
    ReadSettingFlag(kRICheckStateKey, remembered.ireland);
    return remembered;
}

// The payment options dialog over the batch, from the remembered choices;
// nothing when the clerk cancels it.
std::optional<PaymentFileChoices> AskPaymentOptions(ITorvoBankPayments* payments, IPaymentBatchView& batch,
                                                    const RememberedChoices& remembered) {
    const std::unique_ptr<IPaymentOptionsDialog> dialog =
        MakePaymentOptionsDialog(payments, remembered.templateName, remembered.reference, remembered.ireland);
    LookUpInJournalWhenOpen(*dialog, remembered.suffix, batch);
    if (!dialog->ShowModal(GetActiveWindow())) return std::nullopt;
    PaymentFileChoices choices;
    choices.processingDate = dialog->GetProcessingDate();
    choices.templateName = dialog->GetTemplateName();
    choices.beneficiaryReference = dialog->GetBeneficiaryReference();
    choices.paymentFormat = dialog->GetPaymentFormat();
    choices.ireland = dialog->GetIrelandPayment() != 0;
    return choices;
}

// The payment file the clerk chooses in the save-file dialog. Nothing, the
// status value set and the clerk told why, when the dialog is cancelled or
// fails, or the file would be the bulk list template file itself.
std::optional<std::string> ChoosePaymentFile(const char* initialPath, const PaymentFileChoices& choices,
                                             const SetServiceStatusFunction& setStatus) {
    SaveFileRequest request;
    request.owner = GetActiveWindow();
    request.filter = PaymentFileFilter();
    request.defaultExtension = kPaymentFileExtension;
    request.initialPath = initialPath;
    const SaveFileChoice chosen = ShowSaveFileDialog(request);
    // A save-file dialog that failed is no cancel: the clerk learns that no
    // file was chosen, and why.
    if (chosen.failure != 0) {
        ShowRunMessage(request.owner, MessageIcon::Error,
                       "The payment file could not be chosen: " + SaveFileFailureReason(chosen.failure) +
                           ".\r\nNo payment file has been written.");
        setStatus(kRunFileFailed);
        return std::nullopt;
    }
    if (!chosen.path) {
        setStatus(kRunCancelled);
        return std::nullopt;
    }
    const std::string& path = *chosen.path;
    // The payment file written after the template file would replace it.
    if (HasTemplateFile(choices.paymentFormat) && TemplateFileIsPaymentFile(path, choices.templateName)) {
        ShowRunMessage(request.owner, MessageIcon::Error,
                       "The bulk list template file " + TemplateFilePath(DirectoryOfPath(path), choices.templateName) +
                           " would be the payment file itself: choose another name for the payment file.\r\n"
                           "No payment file has been written.");
        setStatus(kRunFileFailed);
        return std::nullopt;
    }
    return path;
}

// The bulk list template file beside the payment file at `path`, the
// clerk asked before one is replaced; the payments whose records passed.
// The run goes on without the file, but not in silence.
std::vector<long> WriteTemplateFileBeside(IPaymentBatchView& batch, const std::string& path,
                                          const PaymentFileChoices& choices) {
    std::vector<long> passed;
    const HWND owner = GetActiveWindow();
    const auto askUser = [owner](const std::string& existing) {
        return ShowMessageBox(TemplateOverwriteQuestion(owner, existing)) == MessageAnswer::Yes;
    };
    const TemplateFileEnd end = WriteBulkListTemplateFile(batch, DirectoryOfPath(path), choices.templateName,
                                                          choices.beneficiaryReference, askUser, &passed);
    const std::string problem = TemplateFileProblem(end);
    if (!problem.empty()) {
        const std::string templatePath = TemplateFilePath(DirectoryOfPath(path), choices.templateName);
        WriteDebugOutput(("Bulk list template file " + templatePath + " not written: " + problem + "\n").c_str());
        ShowRunMessage(owner, MessageIcon::Warning,
                       "The bulk list template file " + templatePath + " has not been written: " + problem +
                           ".\r\nThe payment file is written without it.");
    }
    return passed;
}

HRESULT RunPaymentSteps(ITorvoBankPayments* payments, ITorvoBankAccount* account, const char* initialPath,
                        const SetServiceStatusFunction& setStatus) {
    RequireArgument(payments != nullptr);
    CHostBatchView batch(payments);
    if (batch.GetCount() > kMaxPaymentsInFile) {
        setStatus(kRunTooManyPayments);
        ShowTooManyPayments();
        return kRunTooManyPayments;
    }

    const RememberedChoices remembered = ReadRememberedChoices(account);
    const std::optional<PaymentFileChoices> choices = AskPaymentOptions(payments, batch, remembered);
    if (!choices) {
        setStatus(kRunCancelled);
        return S_OK;
    }
    const std::optional<std::string> path = ChoosePaymentFile(initialPath, *choices, setStatus);
    if (!path) return S_OK;

    // Stored before any file is made, so that they are remembered even when
    // the file cannot be written.
    WriteSetting(remembered.templateKey, choices->templateName);
    WriteSetting(remembered.referenceKey, choices->beneficiaryReference);
    WriteSettingFlag(kRICheckStateKey, choices->ireland ? 1 : 0);

    const long count = batch.GetCount();
    const std::vector<long> passedByTemplate =
        HasTemplateFile(choices->paymentFormat) ? WriteTemplateFileBeside(batch, *path, *choices) : std::vector<long>();
    std::vector<JournalPayment> journal;
    const PaymentFileResult written = WritePaymentFile(batch, count, *path, *choices, passedByTemplate, &journal);
    // The payments of a file put in place go into the journal; whatever
    // becomes of that, the run ends as its payment file did.
    if (written.end == PaymentFileEnd::Written) {
        RecordRunInJournal(account, batch, *path, *choices, journal, GetActiveWindow());
    }
    setStatus(written.StatusValue());
    return written.ReportsFailedChecks() ? S_FALSE : S_OK;
}

}  // namespace

HRESULT RunPayments(ITorvoBankPayments* payments, ITorvoBankAccount* account,
                    const SetServiceStatusFunction& setStatus) {
    // The host's defaults for the file; its settings object drops the name's
    // last character. A host that cannot give them ends the run before it
    // starts, its status value untouched.
    const PaymentFileSettings defaults = CHostBankSettings().GetPaymentFileSettings();
    char initialPath[kPaymentPathBytes] = {};
    ResolveDefaultPaymentPath(defaults.fileName, defaults.directory, initialPath);

    // A run that fails later (a host call that fails) has made no new file:
    // its status value says so before the failure goes on to the host.
    setStatus(kRunCompleted);
    try {
        return RunPaymentSteps(payments, account, initialPath, setStatus);
    } catch (...) {
        setStatus(kRunFileFailed);
        throw;
    }
}

BSTR PaymentStatusTextFor(LONG code) {
    const unsigned long number = static_cast<unsigned long>(code);
    if (number > 35) return nullptr;
    CString text;
    if (!text.LoadString(CModule::Instance(), IDS_PAYMENT_STATUS_BASE + static_cast<unsigned>(number))) {
        return nullptr;
    }
    return text.AllocSysString();
}

}  // namespace paylode
