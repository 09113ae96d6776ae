/*
 * The vtable slot of every host-framework operation that the component
 * calls or implements, counted from 0 = QueryInterface (3 to 6 are
 * IDispatch). The component and the host bind to these numbers, so the
 * type libraries and the generated headers are both checked against them.
 */
#pragma once

#include <vector>

// X(interface, operation, slot) for each operation.
#define PAYLODE_HOST_SLOTS(X)                            \
    X(ITorvoBank, GetName, 7)                            \
    X(ITorvoBank, GetServices, 8)                        \
    X(ITorvoBank, GetBankKind, 9)                        \
    X(ITorvoBank, Configure, 10)                         \
    X(ITorvoBankServices, GetItem, 7)                    \
    X(ITorvoBankServices, GetCount, 8)                   \
    X(ITorvoBankServices, GetNewEnum, 9)                 \
    X(ITorvoBankService, GetName, 7)                     \
    X(ITorvoBankService, GetServiceStatus, 8)            \
    X(ITorvoBankService, SetServiceStatus, 9)            \
    X(ITorvoBankService, GetExtraInfo, 10)               \
    X(ITorvoBankService, GetExtraItem, 11)               \
    X(ITorvoBankPaymentService, GetStatusText, 12)       \
    X(ITorvoBankPaymentService, ProcessPayments, 13)     \
    X(ITorvoBankStatementService, GetStatusText, 12)     \
    X(ITorvoBankStatementService, ImportStatement, 13)   \
    X(ITorvoBankSettings, ConfigureBank, 7)              \
    X(ITorvoBankSettings, GetStatementImportSettings, 8) \
    X(ITorvoBankSettings, GetPaymentFileSettings, 9)     \
    X(ITorvoBankPayments, GetItem, 7)                    \
    X(ITorvoBankPayments, GetCount, 8)                   \
    X(ITorvoBankPayment, GetAmount, 7)                   \
    X(ITorvoBankPayment, GetPayerSortCode, 11)           \
    X(ITorvoBankPayment, GetPayerAccountNumber, 13)      \
    X(ITorvoBankPayment, GetPayeeBACSReference, 19)      \
    X(ITorvoBankPayment, GetPayeeSortCode, 21)           \
    X(ITorvoBankPayment, GetPayeeAccountNumber, 23)      \
    X(ITorvoBankPayment, GetPayeeAccountName, 25)        \
    X(ITorvoBankPayment, GetPayeeRollNumber, 27)         \
    X(ITorvoBankPayment, GetDetails, 31)                 \
    X(ITorvoBankPayment, GetStatus, 37)                  \
    X(ITorvoBankPayment, SetStatus, 38)                  \
    X(ITorvoBankAccount, GetBankDetails, 7)              \
    X(ITorvoBankDetails, GetSortCode, 7)                 \
    X(ITorvoBankDetails, GetAccountNumber, 11)           \
    X(ITorvoBankStatement, AddTransaction, 9)            \
    X(ITorvoBankStatement, Clear, 10)                    \
    X(ITorvoBankStatement, SetBalance, 13)               \
    X(ITorvoBankTransaction, SetID, 9)                   \
    X(ITorvoBankTransaction, SetDate, 11)                \
    X(ITorvoBankTransaction, SetReference, 13)           \
    X(ITorvoBankTransaction, SetType, 17)                \
    X(ITorvoBankTransaction, SetDescription, 37)         \
    X(ITorvoBankTransaction, SetAmount, 43)              \
    X(ITorvoStatementFileChooser, SelectFile, 7)         \
    X(ITorvoStatementFileChooser, GetFilePath, 10)       \
    X(ITorvoStatementFileChooser, GetCancelled, 11)

namespace paylode::test {

struct HostSlot {
    const char* interfaceName;
    const char* operation;
    unsigned slot;
};

// Where the generated C vtable structs put each operation of the table
// above, in the table's order (computed in a translation unit compiled with
// CINTERFACE).
std::vector<HostSlot> HeaderSlots();

#define PAYLODE_EXPECTED_SLOT(iface, operation, slot) HostSlot{#iface, #operation, slot},
inline const HostSlot kHostSlots[] = {PAYLODE_HOST_SLOTS(PAYLODE_EXPECTED_SLOT)};
#undef PAYLODE_EXPECTED_SLOT

}  // namespace paylode::test
