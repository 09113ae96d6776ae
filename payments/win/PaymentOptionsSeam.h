/*
 * The seam in front of the payment options dialog, as the payment run uses
 * it: made with the batch and the remembered template name, beneficiary
 * reference and Republic Of Ireland flag, shown modally, and, once it ended
 * with OK, asked for the user's choices. The IAT marks are not among them:
 * the dialog stores them in the payments' status field while it is open.
 *
 * On Windows the dialog is CPaymentOptionsDialog; tests put a factory of their own
 * in front of it for as long as a ScopedPaymentOptionsDialogFactory lives.
 */
#pragma once

#include <memory>

#include "common/CString.h"
#include "common/Seam.h"
#include "common/win/Platform.h"
#include "host/HostInterfaces.h"
#include "payments/JournalLookup.h"
#include "payments/PaymentFormat.h"
#include "payments/PaymentOptionsModel.h"

namespace paylode {

class IPaymentOptionsDialog {
public:
    virtual ~IPaymentOptionsDialog() = default;
    // Shows the dialog modally, owned by `owner`; true when it ended with OK.
    virtual bool ShowModal(HWND owner) = 0;
    virtual double GetProcessingDate() = 0;
    virtual CString GetTemplateName() = 0;
    virtual CString GetBeneficiaryReference() = 0;
    virtual PaymentFormat GetPaymentFormat() = 0;
    virtual int GetIrelandPayment() = 0;
    // The payment journal its list looks the payments up in when it opens
    // (payments/PaymentOptionsModel.h); a dialog that looks nothing up
    // ignores it.
    virtual void SetPaymentJournal(const ExportedBeforeWindow& /*window*/,
                                   const CPaymentOptionsModel::PaymentJournalScan& /*scan*/) {}
};

// The platform's dialog itself.
std::unique_ptr<IPaymentOptionsDialog> MakePlatformPaymentOptionsDialog(ITorvoBankPayments* batch,
                                                                        const CString& templateName,
                                                                        const CString& beneficiaryReference,
                                                                        int ireland);

// The dialog in force: the platform's, unless a test replaced it with a
// ScopedPaymentOptionsDialogFactory for as long as that lives.
using PaymentOptionsDialogSeam = Seam<&MakePlatformPaymentOptionsDialog>;
using ScopedPaymentOptionsDialogFactory = PaymentOptionsDialogSeam::Override;

inline std::unique_ptr<IPaymentOptionsDialog> MakePaymentOptionsDialog(ITorvoBankPayments* batch,
                                                                       const CString& templateName,
                                                                       const CString& beneficiaryReference,
                                                                       int ireland) {
    return PaymentOptionsDialogSeam::Call(batch, templateName, beneficiaryReference, ireland);
}

}  // namespace paylode
