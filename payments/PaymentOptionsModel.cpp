/*
 * The payment options dialog's rules; see PaymentOptionsModel.h.
 */
#include "payments/PaymentOptionsModel.h"

#include <cmath>
#include <cstdio>
#include <tuple>
#include <utility>

#include "common/OleDate.h"
#include "payments/BankingCalendar.h"
#include "payments/PayeeChecks.h"
#include "payments/PaymentRecords.h"
#include "payments/StatusTexts.h"
#include "resources/resource.h"

namespace paylode {
namespace {

constexpr const char kEmptyTemplateText[] =
    "A value for the Paylode Payment/Bulk List Template field must be supplied.";
// Message boxes show "&" as it is, so the user reads "&&" here.
constexpr const char kTemplateCharactersText[] =
    "The Paylode Payment/Bulk List Template field contains invalid characters.\r\n"
    "You may use the letters A-Z, numbers 0-9, spaces and the following special characters:  .-&&\r\n"
    "Please consult your Paylode documentation, or Kelmar Bank for further details.";
constexpr const char kEmptyReferenceText[] = "A value for the Beneficiary Reference field must be supplied.";
constexpr const char kReferenceCharactersText[] =
    "The Beneficiary Reference field contains invalid characters.\r\n"
    "You may use the letters A-Z, numbers 0-9, spaces and the following special characters: .-/&&\r\n"
    "Please consult your Paylode documentation, or Kelmar Bank for further details.";
// The question about a processing date on which the banks are closed,
// though the computed calendar calls it a banking day: "The bank is closed
// on Monday 3 January 2028 (New Year's Day, substitute day). ..."
std::string ClosedDateQuestion(double date, const std::string& reason) {
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    DateFields fields;
    if (!FieldsFromOleDate(std::floor(date), &fields)) return std::string();
    char day[64];
    std::snprintf(day, sizeof day, "%s %d %s %d", kDays[fields.dayOfWeek % 7], fields.day,
                  kMonths[(fields.month + 11) % 12], fields.year);
    return std::string("The bank is closed on ") + day + " (" + reason +
           "). Payments dated then will not be processed that day. Use this date anyway?";
}

constexpr const char kChangesCaption[] = "Changes have been made";
constexpr const char kChangesText[] = "Do you wish to ignore these changes?";

// Widths of the list's text cells, in characters.
constexpr int kSortCodeCell = 10;
constexpr int kAccountNumberCell = 29;
constexpr int kNameCell = 31;
constexpr int kReferenceCell = 31;
constexpr int kDetailsCell = 254;

void ShowFieldError(WindowHandle owner, const char* text) {
    ShowMessageBox({owner, kComponentCaption, text, MessageIcon::Error, MessageButtons::Ok});
}

}  // namespace

CPaymentOptionsModel::CPaymentOptionsModel(IPaymentBatchView& batch, const CString& templateName,
                                           const CString& beneficiaryReference, int ireland)
    : batch_(batch),
      templateName_(templateName),
      beneficiaryReference_(beneficiaryReference),
      ireland_(ireland != 0 ? 1 : 0) {}

PaymentOptionsFieldTexts CPaymentOptionsModel::Open() {
    format_ = PaymentFormat::Standard;
    iatMarking_ = false;
    FillList();
    processingDate_ = GetNextCreditingDate(GetToday());
    return ApplyFormatRules();
}

PaymentOptionsFieldTexts CPaymentOptionsModel::SelectFormat(PaymentFormat format) {
    if (format != format_) changed_ = true;
    format_ = format;
    return ApplyFormatRules();
}

PaymentOptionsFieldTexts CPaymentOptionsModel::SetIrelandPayment(bool ticked) {
    ireland_ = ticked ? 1 : 0;
    return ApplyFormatRules();
}

void CPaymentOptionsModel::SetIatMarking(bool ticked) { iatMarking_ = ticked && AllowsIatMarks(format_); }

bool CPaymentOptionsModel::MarkRows(const std::vector<int>& selectedRows, bool iat) {
    if (selectedRows.empty()) return false;
    changed_ = true;
    // The row carries its payment's batch index: a payment the batch did not
    // return has no row, so a row's position is not its payment's index.
    std::vector<long> indices;
    for (int row : selectedRows) {
        if (row >= 0 && static_cast<std::size_t>(row) < rows_.size())
            indices.push_back(rows_[static_cast<std::size_t>(row)].batchIndex);
    }
    for (long index : indices) {
        if (std::unique_ptr<IPaymentView> payment = batch_.GetItem(index))
            payment->SetStatus(iat ? kStatusIatMark : kStatusSuccess);
    }
    FillList();
    return true;
}

void CPaymentOptionsModel::ChangeProcessingDate(double date) {
    if (date != processingDate_) changed_ = true;
    processingDate_ = date;
}

PaymentOptionsConfirmation CPaymentOptionsModel::Confirm(const char* templateField, const char* referenceField, WindowHandle dialog,
                                           WindowHandle activeWindow) {
    if (!ValidateProcessingDate(processingDate_, dialog)) return {};
    if (IsProcessingDateTooFar(processingDate_, dialog)) return {};
    if (const std::string* closed = closures_ != nullptr ? closures_->ReasonFor(processingDate_) : nullptr) {
        const MessageAnswer answer = ShowMessageBox({dialog, kComponentCaption,
                                                     ClosedDateQuestion(processingDate_, *closed),
                                                     MessageIcon::Warning, MessageButtons::YesNo});
        if (answer != MessageAnswer::Yes) return {};
    }

    const FieldCheck templateCheck = CheckTemplateName(templateField, &templateName_);
    if (TakesTemplateName(format_)) {
        if (templateCheck != FieldCheck::Accepted) {
            // A device name, or dots and blanks only, gets the characters
            // message: no file of its own can bear the name, whatever its
            // characters.
            ShowFieldError(activeWindow,
                           templateCheck == FieldCheck::Empty ? kEmptyTemplateText : kTemplateCharactersText);
            return {false, PaymentOptionsField::TemplateName};
        }
    }

    if (!ChecksBeneficiaryReference(format_)) {
        // Taken as typed: ad hoc bulk payments do not check it, the formats
        // without the field hold it empty.
        beneficiaryReference_ = CString(referenceField).Left(kBeneficiaryReferenceLimit);
    } else {
        const FieldCheck referenceCheck = CheckBeneficiaryReference(referenceField, &beneficiaryReference_);
        if (referenceCheck != FieldCheck::Accepted) {
            ShowFieldError(activeWindow,
                           referenceCheck == FieldCheck::Empty ? kEmptyReferenceText : kReferenceCharactersText);
            return {false, PaymentOptionsField::BeneficiaryReference};
        }
    }

    if (accountFailures_ > 0 || repeats_ > 0 || exportedBefore_ > 0 || journalUnreadable_) {
        const MessageAnswer answer = ShowMessageBox({dialog, kComponentCaption,
                                                     PayeeWarningQuestion(accountFailures_, repeats_, exportedBefore_,
                                                                          latestExport_, journalUnreadable_),
                                                     MessageIcon::Warning, MessageButtons::YesNo});
        if (answer != MessageAnswer::Yes) return {};
    }
    return {true, PaymentOptionsField::None};
}

bool CPaymentOptionsModel::Cancel(WindowHandle dialog) {
    if (changed_) {
        const MessageAnswer answer =
            ShowMessageBox({dialog, kChangesCaption, kChangesText, MessageIcon::Question, MessageButtons::YesNo});
        if (answer != MessageAnswer::Yes) return false;
    }
    const long count = batch_.GetCount();
    for (long index = 0; index < count; ++index) {
        if (std::unique_ptr<IPaymentView> payment = batch_.GetItem(index)) payment->SetStatus(kStatusSuccess);
    }
    return true;
}

void CPaymentOptionsModel::FillList() {
    rows_.clear();
    CPayeeChecker payees(modulusTables_);
    std::vector<PayeeCheck> checks;
    std::vector<PaymentToLookUp> lookUps;
    const long count = batch_.GetCount();
    if (count > 0) rows_.reserve(static_cast<std::size_t>(count));
    for (long index = 0; index < count; ++index) {
        std::unique_ptr<IPaymentView> payment = batch_.GetItem(index);
        if (!payment) continue;
        // Read in the columns' order, each once.
        const CString sortCode = payment->GetPayeeSortCode();
        const CString accountNumber = payment->GetPayeeAccountNumber();
        PaymentListRow row;
        row.batchIndex = index;
        row.cells[kColumnSortCode] = sortCode.Left(kSortCodeCell);
        row.cells[kColumnAccountNumber] = accountNumber.Left(kAccountNumberCell);
        row.cells[kColumnName] = payment->GetPayeeAccountName().Left(kNameCell);
        const double amount = payment->GetAmount();
        row.cells[kColumnAmount] = AmountField(amount).c_str();
        const CString reference = payment->GetPayeeBACSReference();
        row.cells[kColumnReference] = reference.Left(kReferenceCell);
        row.cells[kColumnDetails] = payment->GetDetails().Left(kDetailsCell);
        row.cells[kColumnIsIat] = payment->GetStatus() != 0 ? "Yes" : "No";
        // Repeats are told by row number, the position the user sees.
        checks.push_back(payees.Check(static_cast<long>(rows_.size()), sortCode.GetString(),
                                      accountNumber.GetString(), amount, reference.GetString()));
        if (journalScan_) lookUps.push_back({sortCode.GetString(), accountNumber.GetString(), amount, reference.GetString()});
        rows_.push_back(std::move(row));
    }
    accountFailures_ = payees.AccountFailures();
    repeats_ = payees.Repeats();
    if (journalScan_) LookUpInJournal(lookUps);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const auto found = exported_.find(rows_[i].batchIndex);
        if (found != exported_.end()) std::tie(checks[i].exported, checks[i].onStatement) = found->second;
        rows_[i].cells[kColumnAccountCheck] = PayeeCheckText(checks[i]).c_str();
    }
}

void CPaymentOptionsModel::LookUpInJournal(const std::vector<PaymentToLookUp>& payments) {
    // Read once: Set and Reset fill the list again with the same payments.
    const PaymentJournalScan scan = std::exchange(journalScan_, nullptr);
    CExportedBefore lookUp(journalWindow_, payments);
    journalUnreadable_ = !scan(lookUp);
    for (std::size_t i = 0; i < payments.size(); ++i) {
        if (!lookUp.LatestExport(i).empty()) exported_[rows_[i].batchIndex] = {lookUp.LatestExport(i), lookUp.OnStatement(i)};
    }
    exportedBefore_ = lookUp.Count();
    latestExport_ = lookUp.Latest();
}

PaymentOptionsLayout CPaymentOptionsModel::Layout() const {
    PaymentOptionsLayout layout;
    layout.creditingLabelId = ireland_ != 0 ? IDS_NEXT_EURO_CREDITING_DATE : IDS_NEXT_BACS_CREDITING_DATE;
    layout.descriptionId = ireland_ != 0 && format_ == PaymentFormat::Standard
                               ? IDS_FORMAT_STANDARD_EURO_DESCRIPTION
                               : static_cast<unsigned>(IDS_FORMAT_DESCRIPTION_BASE + PaymentFormatNumber(format_));
    layout.templateEnabled = TakesTemplateName(format_);
    layout.referenceEnabled = TakesBeneficiaryReference(format_);
    layout.iatBoxEnabled = AllowsIatMarks(format_);
    layout.iatBoxChecked = iatMarking_;
    layout.iatListEnabled = iatMarking_;
    return layout;
}

PaymentOptionsFieldTexts CPaymentOptionsModel::ApplyFormatRules() {
    // Where marking is not allowed the box is cleared; marks already stored
    // on the payments stay as they are.
    if (!AllowsIatMarks(format_)) iatMarking_ = false;
    const PaymentOptionsLayout layout = Layout();
    PaymentOptionsFieldTexts texts;
    if (layout.templateEnabled) texts.templateName = templateName_;
    if (layout.referenceEnabled) texts.beneficiaryReference = beneficiaryReference_;
    return texts;
}

}  // namespace paylode
