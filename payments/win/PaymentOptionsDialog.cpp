/*
 * The payment options dialog behind its seam (see PaymentOptionsDialog.h).
 */
#include "payments/win/PaymentOptionsDialog.h"

#include <utility>

#include "payments/win/PayInfoDialog.h"

namespace paylode {

namespace {

// CPayInfoDialog as the run asks for it. A dialog that cannot be shown at
// all ends like Cancel.
class CPayInfoDialogAdapter : public IPaymentOptionsDialog {
public:
    CPayInfoDialogAdapter(ITorvoBankPayments* batch, const CString& templateName, const CString& beneficiaryReference,
                          int ireland)
        : dialog_(batch, templateName, beneficiaryReference, ireland) {}

    bool ShowModal(HWND owner) override { return dialog_.DoModal(owner) == IDOK; }
    double GetProcessingDate() override { return dialog_.GetProcessingDate(); }
    CString GetTemplateName() override { return dialog_.GetTemplateName(); }
    CString GetBeneficiaryReference() override { return dialog_.GetBeneficiaryReference(); }
    PaymentFormat GetPaymentFormat() override { return dialog_.GetPaymentFormat(); }
    int GetIrelandPayment() override { return dialog_.GetIrelandPayment(); }

private:
    CPayInfoDialog dialog_;
};

}  // namespace

std::unique_ptr<IPaymentOptionsDialog> MakePlatformPaymentOptionsDialog(ITorvoBankPayments* batch,
                                                                        const CString& templateName,
                                                                        const CString& beneficiaryReference,
                                                                        int ireland) {
    return std::make_unique<CPayInfoDialogAdapter>(batch, templateName, beneficiaryReference, ireland);
}

}  // namespace paylode
