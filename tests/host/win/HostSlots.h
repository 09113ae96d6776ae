/*
 * The vtable slot of every host-framework operation that the component
 * calls or implements, counted from 0 = QueryInterface (3 to 6 are
 * IDispatch). The component and the host bind to these numbers, so the
 * type libraries and the generated headers are both checked against them.
 */
#pragma once

#include <vector>

namespace paylode::test {

struct HostSlot {
    const char* interfaceName;
    const char* operation;
    unsigned slot;
};

// Where the generated C vtable structs put each operation of the table
// below (computed in a translation unit compiled with CINTERFACE).
std::vector<HostSlot> HeaderSlots();

inline const HostSlot kHostSlots[] = {
    {"ITorvoBank", "GetName", 7},
    {"ITorvoBank", "GetServices", 8},
    {"ITorvoBank", "GetBankKind", 9},
    {"ITorvoBank", "Configure", 10},
    {"ITorvoBankServices", "GetItem", 7},
    {"ITorvoBankServices", "GetCount", 8},
    {"ITorvoBankServices", "GetNewEnum", 9},
    {"ITorvoBankService", "GetName", 7},
    {"ITorvoBankService", "GetServiceStatus", 8},
    {"ITorvoBankService", "SetServiceStatus", 9},
    {"ITorvoBankService", "GetExtraInfo", 10},
    {"ITorvoBankService", "GetExtraItem", 11},
    {"ITorvoBankPaymentService", "GetStatusText", 12},
    {"ITorvoBankPaymentService", "ProcessPayments", 13},
    {"ITorvoBankStatementService", "GetStatusText", 12},
    {"ITorvoBankStatementService", "ImportStatement", 13},
    {"ITorvoBankSettings", "ConfigureBank", 7},
    {"ITorvoBankSettings", "GetStatementImportSettings", 8},
    {"ITorvoBankSettings", "GetPaymentFileSettings", 9},
    {"ITorvoBankPayments", "GetItem", 7},
    {"ITorvoBankPayments", "GetCount", 8},
    {"ITorvoBankPayment", "GetAmount", 7},
    {"ITorvoBankPayment", "GetPayerSortCode", 11},
    {"ITorvoBankPayment", "GetPayerAccountNumber", 13},
    {"ITorvoBankPayment", "GetPayeeBACSReference", 19},
    {"ITorvoBankPayment", "GetPayeeSortCode", 21},
    {"ITorvoBankPayment", "GetPayeeAccountNumber", 23},
    {"ITorvoBankPayment", "GetPayeeAccountName", 25},
    {"ITorvoBankPayment", "GetPayeeRollNumber", 27},
    {"ITorvoBankPayment", "GetDetails", 31},
    {"ITorvoBankPayment", "GetStatus", 37},
    {"ITorvoBankPayment", "SetStatus", 38},
    {"ITorvoBankAccount", "GetBankDetails", 7},
    {"ITorvoBankDetails", "GetSortCode", 7},
    {"ITorvoBankDetails", "GetAccountNumber", 11},
    {"ITorvoBankStatement", "AddTransaction", 9},
    {"ITorvoBankStatement", "Clear", 10},
    {"ITorvoBankStatement", "SetBalance", 13},
    {"ITorvoBankTransaction", "SetID", 9},
    {"ITorvoBankTransaction", "SetDate", 11},
    {"ITorvoBankTransaction", "SetReference", 13},
    {"ITorvoBankTransaction", "SetType", 17},
    {"ITorvoBankTransaction", "SetDescription", 37},
    {"ITorvoBankTransaction", "SetAmount", 43},
    {"ITorvoStatementFileChooser", "SelectFile", 7},
    {"ITorvoStatementFileChooser", "GetFilePath", 10},
    {"ITorvoStatementFileChooser", "GetCancelled", 11},
};

}  // namespace paylode::test
