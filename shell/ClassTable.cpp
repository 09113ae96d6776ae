/*
 * The class table (see ClassTable.h).
 */
#include "shell/ClassTable.h"

#include "combase/ComponentObject.h"
#include "payments/win/BankPaymentService.h"
#include "resources/resource.h"
#include "shell/Bank.h"
#include "shell/BankServices.h"
#include "statements/win/BankStatementService.h"

namespace paylode {

namespace {

// clang-format off
const ClassEntry kClasses[] = {
    {&CLSID_Bank, &CreateInstanceOf<CBank>, IDR_BANK, true},
    {&CLSID_BankServices, &CreateInstanceOf<CBankServices>, IDR_BANKSERVICES, false},
    {&CLSID_BankPaymentService, &CreateBankPaymentService, IDR_BANKPAYMENTSERVICE, false},
    {&CLSID_BankStatementService, &CreateBankStatementService, IDR_BANKSTATEMENTSERVICE, false},
};
// clang-format on

}  // namespace

static_assert(sizeof kClasses / sizeof kClasses[0] == kClassCount, "kClassCount counts the rows of kClasses");

ClassTable Classes() { return {kClasses, kClassCount}; }

const ClassEntry* FindClass(REFCLSID clsid) { return FindClass(Classes(), clsid); }

}  // namespace paylode
