/*
 * The payment options dialog behind its seam (see PaymentOptionsDialog.h).
 */
#include "payments/win/PaymentOptionsDialog.h"

#include <utility>

namespace paylode {

namespace {
PaymentOptionsDialogFactory& CurrentFactory() {
    static PaymentOptionsDialogFactory factory;
    return factory;
}
}  // namespace

std::unique_ptr<IPaymentOptionsDialog> MakePaymentOptionsDialog(ITorvoBankPayments* batch,
                                                                const CString& templateName,
                                                                const CString& beneficiaryReference, int ireland) {
    const PaymentOptionsDialogFactory& factory = CurrentFactory();
    return factory ? factory(batch, templateName, beneficiaryReference, ireland)
                   : MakePlatformPaymentOptionsDialog(batch, templateName, beneficiaryReference, ireland);
}

ScopedPaymentOptionsDialogFactory::ScopedPaymentOptionsDialogFactory(PaymentOptionsDialogFactory factory)
    : previous_(std::exchange(CurrentFactory(), std::move(factory))) {}

ScopedPaymentOptionsDialogFactory::~ScopedPaymentOptionsDialogFactory() { CurrentFactory() = std::move(previous_); }

}  // namespace paylode
