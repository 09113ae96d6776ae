/*
 * The payment options dialog behind its seam (see PaymentOptionsDialog.h).
 */
#include "payments/win/PaymentOptionsSeam.h"

#include <utility>

#include "payments/win/PaymentOptionsDialog.h"

namespace paylode {

namespace {

// CPaymentOptionsDialog as the run asks for it. A dialog that cannot be shown at
// all ends like Cancel.
class CPaymentOptionsDialogAdapter : public IPaymentOptionsDialog {
public:
    CPaymentOptionsDialogAdapter(ITorvoBankPayments* batch, const CString& templateName, const CString& beneficiaryReference,
                          int ireland)
        : dialog_(batch, templateName, beneficiaryReference, ireland) {}

    bool ShowModal(HWND owner) override { return dialog_.DoModal(owner) == IDOK; }
    double GetProcessingDate() override { return dialog_.GetProcessingDate(); }
    CString GetTemplateName() override { return dialog_.GetTemplateName(); }
    CString GetBeneficiaryReference() override { return dialog_.GetBeneficiaryReference(); }
    PaymentFormat GetPaymentFormat() override { return dialog_.GetPaymentFormat(); }
    int GetIrelandPayment() override { return dialog_.GetIrelandPayment(); }
    void SetPaymentJournal(const ExportedBeforeWindow& window,
                           const CPaymentOptionsModel::PaymentJournalScan& scan) override {
        dialog_.SetPaymentJournal(window, scan);
    }

private:
    CPaymentOptionsDialog dialog_;
};

}  // namespace

std::unique_ptr<IPaymentOptionsDialog> MakePlatformPaymentOptionsDialog(ITorvoBankPayments* batch,
                                                                        const CString& templateName,
                                                                        const CString& beneficiaryReference,
                                                                        int ireland) {
    return std::make_unique<CPaymentOptionsDialogAdapter>(batch, templateName, beneficiaryReference, ireland);
}

}  // namespace paylode
