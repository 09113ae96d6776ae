/*
 * The rules of the payment options dialog, with no window in it.
 *
 * The user chooses one of four payment formats, the processing date, euro
 * (Republic Of Ireland) payments, the template name and beneficiary
 * reference that some formats need, and which payments are inter-account
 * transfers (IATs). This model holds every rule of that choice: what each
 * format enables, empties and requires, the description and crediting-date
 * label shown, the changed flag and what sets it, the checks made on OK and
 * the message and field each failure leads to, the question on Cancel, and
 * the IAT marks, which are stored at once in each payment's status field
 * (1 marked, 0 not).
 *
 * The two text fields are judged by their own rules
 * (payments/PaymentOptionFields.h), which the `paylode` tool checks its
 * --template and --reference with too; the list's rows have one cell per
 * column of the list (payments/PaymentOptionsGeometry.h). The Win32 dialog
 * (payments/win/PaymentOptionsDialog.h) turns each user action into one call
 * here and shows what the model says.
 */
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/CString.h"
#include "common/MessageBox.h"
#include "payments/BankClosures.h"
#include "payments/JournalLookup.h"
#include "payments/ModulusCheck.h"
#include "payments/PaymentBatchView.h"
#include "payments/PaymentFormat.h"
#include "payments/PaymentOptionFields.h"
#include "payments/PaymentOptionsGeometry.h"

namespace paylode {

// One row of the IAT list: a payment the batch returned, read once.
struct PaymentListRow {
    long batchIndex = 0;
    CString cells[kPaymentListColumnCount];
};

// What the dialog's controls show, apart from the two fields' texts.
struct PaymentOptionsLayout {
    unsigned creditingLabelId = 0;  // string id: BACS or EURO crediting date
    unsigned descriptionId = 0;     // string id: the chosen format's description
    bool templateEnabled = false;   // the template label and field
    bool referenceEnabled = false;  // the reference label and field
    bool iatBoxEnabled = false;     // the IAT check box and its explanation
    bool iatBoxChecked = false;
    bool iatListEnabled = false;  // the IAT list and the Set and Reset buttons
};

// The texts the two fields get whenever the format rules are applied: the
// stored value where the field is enabled, empty where it is not.
struct PaymentOptionsFieldTexts {
    CString templateName;
    CString beneficiaryReference;
};

// The field that gets the keyboard focus after OK was refused by a field.
enum class PaymentOptionsField { None, TemplateName, BeneficiaryReference };

struct PaymentOptionsConfirmation {
    bool close = false;  // close the dialog with OK
    PaymentOptionsField focus = PaymentOptionsField::None;
};

class CPaymentOptionsModel {
public:
    // `batch` must outlive the model.
    CPaymentOptionsModel(IPaymentBatchView& batch, const CString& templateName, const CString& beneficiaryReference,
                         int ireland);

    // The dialog opens: the standard format, marking off, the list filled,
    // and the next available crediting date from today as the processing
    // date.
    PaymentOptionsFieldTexts Open();

    // A click on one of the four format radio buttons.
    PaymentOptionsFieldTexts SelectFormat(PaymentFormat format);
    // The Republic Of Ireland check box ticked or cleared.
    PaymentOptionsFieldTexts SetIrelandPayment(bool ticked);
    // The IAT check box ticked or cleared; ignored where marking is not
    // allowed.
    void SetIatMarking(bool ticked);
    // Set (`iat` true) or Reset on the selected rows, given by their position
    // in the list. Each row's own payment is marked, whatever the positions
    // of the rows around it. False, and nothing done, when none is selected;
    // otherwise the list has been filled again.
    bool MarkRows(const std::vector<int>& selectedRows, bool iat);
    // The date picker reports a new date.
    void ChangeProcessingDate(double date);

    // The days the banks are closed beyond the computed calendar; null (as
    // at first) for none. `closures` must outlive the model.
    void SetBankClosures(const CBankClosures* closures) { closures_ = closures; }
    // The modulus tables the payee accounts are checked with when the list
    // is filled; null (as at first) leaves every account "not checked".
    // `tables` must outlive the model.
    void SetModulusTables(const CModulusTables* tables) { modulusTables_ = tables; }
    // The payment journal the list's payments are looked up in, once, when
    // the list is first filled: `scan` reads every journal file `window`
    // needs into the look-up it is given, and returns false when one could
    // not be read (the question on OK then says that earlier exports could
    // not be checked). None (as at first) looks nothing up.
    using PaymentJournalScan = std::function<bool(CExportedBefore&)>;
    void SetPaymentJournal(const ExportedBeforeWindow& window, PaymentJournalScan scan) {
        journalWindow_ = window;
        journalScan_ = std::move(scan);
    }

    // OK: the date checks, then, for a date in the table of bank closures,
    // the question whether to use it anyway, then the template and the
    // reference, then, when a payee account fails its check, a payment
    // repeats an earlier one or was exported before, or the journal could not
    // be read, the question whether to export anyway.
    // Message boxes about the fields are owned by `activeWindow`, the others
    // by `dialog`.
    PaymentOptionsConfirmation Confirm(const char* templateField, const char* referenceField, WindowHandle dialog,
                                WindowHandle activeWindow);
    // Cancel, Escape or the close box: asks first when something was changed;
    // false when the user chose to stay. Otherwise every payment's IAT mark
    // is cleared and the dialog may close.
    bool Cancel(WindowHandle dialog);

    // Reads every payment of the batch once into the list's rows, and checks
    // each payee.
    void FillList();
    const std::vector<PaymentListRow>& Rows() const { return rows_; }

    PaymentOptionsLayout Layout() const;
    bool Changed() const { return changed_; }

    double GetProcessingDate() const { return processingDate_; }
    CString GetTemplateName() const { return templateName_; }
    CString GetBeneficiaryReference() const { return beneficiaryReference_; }
    PaymentFormat GetPaymentFormat() const { return format_; }
    int GetIrelandPayment() const { return ireland_; }

private:
    PaymentOptionsFieldTexts ApplyFormatRules();
    // Looks the list's payments (in the rows' order) up in the journal, once.
    void LookUpInJournal(const std::vector<PaymentToLookUp>& payments);

    IPaymentBatchView& batch_;
    CString templateName_;
    CString beneficiaryReference_;
    int ireland_;
    PaymentFormat format_ = PaymentFormat::Standard;
    double processingDate_ = 0;
    bool changed_ = false;
    bool iatMarking_ = false;
    std::vector<PaymentListRow> rows_;
    const CBankClosures* closures_ = nullptr;
    const CModulusTables* modulusTables_ = nullptr;
    long accountFailures_ = 0;  // of the rows, as last filled
    long repeats_ = 0;
    ExportedBeforeWindow journalWindow_;
    PaymentJournalScan journalScan_;  // until the list is first filled
    bool journalUnreadable_ = false;
    // Each batch index's latest earlier export, and the day a statement showed it.
    std::map<long, std::pair<std::string, std::string>> exported_;
    long exportedBefore_ = 0;
    std::string latestExport_;
};

}  // namespace paylode
