/*
 * CPaymentOptionsDialog: the payment options dialog (resource 1001) over plain
 * Win32, shown once by the payment run before the payment file is written.
 *
 * Use:
 *
 *     CPaymentOptionsDialog dialog(batch, templateName, beneficiaryReference, ireland);
 *     if (dialog.DoModal(GetActiveWindow()) == IDOK) {
 *         dialog.GetProcessingDate(); dialog.GetTemplateName();
 *         dialog.GetBeneficiaryReference(); dialog.GetPaymentFormat();
 *         dialog.GetIrelandPayment();
 *     }
 *
 * DoModal returns IDOK (1) or IDCANCEL (2); any other value means the dialog
 * could not be shown, which the caller treats like Cancel. The IAT marks are
 * not returned: Set and Reset store them at once in the payments' status
 * field, and Cancel clears them all.
 *
 * Every rule lives in CPaymentOptionsModel (payments/PaymentOptionsModel.h),
 * which judges the two text fields by their own rules
 * (payments/PaymentOptionFields.h); this class decodes each window message
 * once into a call on the model and shows what the model says. Where the
 * window goes and the IAT list's columns come from
 * payments/PaymentOptionsGeometry.h. The IAT list is an owner-data list view
 * answered from the model's rows, so a batch of 4000 payments opens and
 * refills at once, each payment read from the host once per fill. A failure
 * thrown while the dialog is open (an HRESULT from a CString, say) closes it
 * and is thrown again by DoModal, for the caller's operation guard.
 */
#pragma once

#include <utility>

#include <exception>

#include "common/CString.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "host/HostInterfaces.h"
#include "payments/JournalLookup.h"
#include "payments/PaymentFormat.h"
#include "payments/PaymentOptionsModel.h"
#include "payments/win/HostBatchView.h"

namespace paylode {

class CPaymentOptionsDialog {
public:
    // Takes a reference on the batch. Loads the common controls library and
    // registers the date picker's class with it.
    CPaymentOptionsDialog(ITorvoBankPayments* batch, const CString& templateName, const CString& beneficiaryReference,
                   int ireland);
    // Releases the batch and the common controls library.
    ~CPaymentOptionsDialog();
    CPaymentOptionsDialog(const CPaymentOptionsDialog&) = delete;
    CPaymentOptionsDialog& operator=(const CPaymentOptionsDialog&) = delete;

    // Shows the dialog modally, owned by `owner`; IDOK or IDCANCEL when it
    // closes, another value when it cannot be created.
    INT_PTR DoModal(HWND owner);

    double GetProcessingDate() const { return model_.GetProcessingDate(); }
    CString GetTemplateName() const { return model_.GetTemplateName(); }
    CString GetBeneficiaryReference() const { return model_.GetBeneficiaryReference(); }
    PaymentFormat GetPaymentFormat() const { return model_.GetPaymentFormat(); }
    int GetIrelandPayment() const { return model_.GetIrelandPayment(); }
    // The payment journal the list looks its payments up in when it opens.
    void SetPaymentJournal(const ExportedBeforeWindow& window, CPaymentOptionsModel::PaymentJournalScan scan) {
        model_.SetPaymentJournal(window, std::move(scan));
    }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // True when the message was handled; `result` is the dialog procedure's
    // return value then.
    bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result);

    void OnInitDialog();
    void OnCommand(int id);
    bool OnNotify(const NMHDR& header, INT_PTR* result);
    INT_PTR OnColorStatic(HDC dc, HWND control);

    void CentreOverOwner();
    void SetUpList();
    void ShowList();
    void ShowLayout();
    void ShowFieldTexts(const PaymentOptionsFieldTexts& texts);
    void ShowDescription(unsigned stringId);
    void MarkSelectedRows(bool iat);
    void ShowProcessingDate();
    void Confirm();

    HWND Item(int id) const { return GetDlgItem(window_, id); }

    CHostBatchView batch_;
    CPaymentOptionsModel model_;
    CLibrary commonControls_;
    HWND window_ = nullptr;
    CIcon largeIcon_;
    CIcon smallIcon_;
    std::exception_ptr failure_;
};

}  // namespace paylode
