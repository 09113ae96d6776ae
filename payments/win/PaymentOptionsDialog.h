/*
 * The seam in front of the payment options dialog, as the payment run uses
 * it: made with the batch and the remembered template name, beneficiary
 * reference and Republic Of Ireland flag, shown modally, and, once it ended
 * with OK, asked for the user's choices. The IAT marks are not among them:
 * the dialog stores them in the payments' status field while it is open.
 *
 * On Windows the dialog is CPayInfoDialog; tests put a factory of their own
 * in front of it for as long as a ScopedPaymentOptionsDialogFactory lives.
 */
#pragma once

#include <functional>
#include <memory>

#include "common/CString.h"
#include "common/win/Platform.h"
#include "host/HostInterfaces.h"

namespace paylode {

class IPaymentOptionsDialog {
public:
    virtual ~IPaymentOptionsDialog() = default;
    // Shows the dialog modally, owned by `owner`; true when it ended with OK.
    virtual bool ShowModal(HWND owner) = 0;
    virtual double GetProcessingDate() = 0;
    virtual CString GetTemplateName() = 0;
    virtual CString GetBeneficiaryReference() = 0;
    virtual int GetPaymentFormat() = 0;
    virtual int GetIrelandPayment() = 0;
};

using PaymentOptionsDialogFactory = std::function<std::unique_ptr<IPaymentOptionsDialog>(
    ITorvoBankPayments* batch, const CString& templateName, const CString& beneficiaryReference, int ireland)>;

// The dialog in force: the platform's, unless a test replaced it.
std::unique_ptr<IPaymentOptionsDialog> MakePaymentOptionsDialog(ITorvoBankPayments* batch, const CString& templateName,
                                                                const CString& beneficiaryReference, int ireland);

// The platform's dialog itself.
std::unique_ptr<IPaymentOptionsDialog> MakePlatformPaymentOptionsDialog(ITorvoBankPayments* batch,
                                                                        const CString& templateName,
                                                                        const CString& beneficiaryReference,
                                                                        int ireland);

// Replaces the dialog for as long as it lives; the previous factory comes
// back when it ends.
class ScopedPaymentOptionsDialogFactory {
public:
    explicit ScopedPaymentOptionsDialogFactory(PaymentOptionsDialogFactory factory);
    ~ScopedPaymentOptionsDialogFactory();
    ScopedPaymentOptionsDialogFactory(const ScopedPaymentOptionsDialogFactory&) = delete;
    ScopedPaymentOptionsDialogFactory& operator=(const ScopedPaymentOptionsDialogFactory&) = delete;

private:
    PaymentOptionsDialogFactory previous_;
};

}  // namespace paylode
