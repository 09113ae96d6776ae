/*
 * The host interfaces seen through the generated headers' C vtable structs:
 * the offset of each operation's function pointer, in pointers, is the slot
 * a C++ caller compiled against those headers uses. This translation unit
 * alone is compiled with CINTERFACE, so it holds nothing but the offsets.
 */
#define CINTERFACE
#define COBJMACROS
#include "host/HostInterfaces.h"

#include <cstddef>

#include "host/win/HostSlots.h"

namespace paylode::test {

#define HOST_SLOT(iface, operation) \
    HostSlot { #iface, #operation, static_cast<unsigned>(offsetof(iface##Vtbl, operation) / sizeof(void*)) }

std::vector<HostSlot> HeaderSlots() {
    return {
        HOST_SLOT(ITorvoBank, GetName),
        HOST_SLOT(ITorvoBank, GetServices),
        HOST_SLOT(ITorvoBank, GetBankKind),
        HOST_SLOT(ITorvoBank, Configure),
        HOST_SLOT(ITorvoBankServices, GetItem),
        HOST_SLOT(ITorvoBankServices, GetCount),
        HOST_SLOT(ITorvoBankServices, GetNewEnum),
        HOST_SLOT(ITorvoBankService, GetName),
        HOST_SLOT(ITorvoBankService, GetServiceStatus),
        HOST_SLOT(ITorvoBankService, SetServiceStatus),
        HOST_SLOT(ITorvoBankService, GetExtraInfo),
        HOST_SLOT(ITorvoBankService, GetExtraItem),
        HOST_SLOT(ITorvoBankPaymentService, GetStatusText),
        HOST_SLOT(ITorvoBankPaymentService, ProcessPayments),
        HOST_SLOT(ITorvoBankStatementService, GetStatusText),
        HOST_SLOT(ITorvoBankStatementService, ImportStatement),
        HOST_SLOT(ITorvoBankSettings, ConfigureBank),
        HOST_SLOT(ITorvoBankSettings, GetStatementImportSettings),
        HOST_SLOT(ITorvoBankSettings, GetPaymentFileSettings),
        HOST_SLOT(ITorvoBankPayments, GetItem),
        HOST_SLOT(ITorvoBankPayments, GetCount),
        HOST_SLOT(ITorvoBankPayment, GetAmount),
        HOST_SLOT(ITorvoBankPayment, GetPayerSortCode),
        HOST_SLOT(ITorvoBankPayment, GetPayerAccountNumber),
        HOST_SLOT(ITorvoBankPayment, GetPayeeBACSReference),
        HOST_SLOT(ITorvoBankPayment, GetPayeeSortCode),
        HOST_SLOT(ITorvoBankPayment, GetPayeeAccountNumber),
        HOST_SLOT(ITorvoBankPayment, GetPayeeAccountName),
        HOST_SLOT(ITorvoBankPayment, GetPayeeRollNumber),
        HOST_SLOT(ITorvoBankPayment, GetDetails),
        HOST_SLOT(ITorvoBankPayment, GetStatus),
        HOST_SLOT(ITorvoBankPayment, SetStatus),
        HOST_SLOT(ITorvoBankAccount, GetBankDetails),
        HOST_SLOT(ITorvoBankDetails, GetSortCode),
        HOST_SLOT(ITorvoBankDetails, GetAccountNumber),
        HOST_SLOT(ITorvoBankStatement, AddTransaction),
        HOST_SLOT(ITorvoBankStatement, Clear),
        HOST_SLOT(ITorvoBankStatement, SetBalance),
        HOST_SLOT(ITorvoBankTransaction, SetID),
        HOST_SLOT(ITorvoBankTransaction, SetDate),
        HOST_SLOT(ITorvoBankTransaction, SetReference),
        HOST_SLOT(ITorvoBankTransaction, SetType),
        HOST_SLOT(ITorvoBankTransaction, SetDescription),
        HOST_SLOT(ITorvoBankTransaction, SetAmount),
        HOST_SLOT(ITorvoStatementFileChooser, SelectFile),
        HOST_SLOT(ITorvoStatementFileChooser, GetFilePath),
        HOST_SLOT(ITorvoStatementFileChooser, GetCancelled),
    };
}

}  // namespace paylode::test
