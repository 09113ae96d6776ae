/*
 * The payment run's lines in the payment journal: once the run has put its
 * payment file in place, one line for each payment written to that file is
 * appended to the year's journal file in the journal folder
 * (payments/win/JournalSettings.h, payments/win/JournalFile.h).
 *
 * The journal never stands in a payment's way: when its lines cannot go
 * in, the clerk is told (a warning with an OK button) that the payment
 * file was written and the journal not, and why, and so is the debugger
 * output; the run's statuses, result and files stay as they were.
 */
#pragma once

#include <string>
#include <vector>

#include "host/HostInterfaces.h"
#include "payments/Journal.h"
#include "payments/Reconcile.h"
#include "payments/PaymentBatchView.h"
#include "payments/PaymentFile.h"
#include "payments/win/PaymentOptionsSeam.h"

namespace paylode {

// Appends the run's `payments` (those written to the payment file at
// `paymentFile`) to the journal, unless the journal is turned off. The
// paying account's sort code and account number are `account`'s bank
// details; without an account, the first payment's payer fields. Never
// throws.
// Has the options dialog look the batch's payments up in the journal when
// it opens, among the exports from the paying account the run stores its
// settings under (`accountSuffix`, "123456_12345678"; without one, the
// first payment's paying account), unless the journal is turned off.
void LookUpInJournalWhenOpen(IPaymentOptionsDialog& dialog, const CString& accountSuffix, IPaymentBatchView& batch);

// After a statement import: marks the journal's payments and bulk runs from
// the imported account (`sortCode` digits, `accountNumber`) that the
// statement's debits match (payments/Reconcile.h) as seen on the statement,
// in the year's marks file beside the journal (payments/StatementMarks.h),
// unless the journal is turned off. Never throws and never fails the
// import: a journal that cannot be read or written is told on the debugger
// output.
void MarkStatementInJournal(const std::string& sortCode, const std::string& accountNumber,
                            const StatementDebits& statement, const std::string& statementFile);

void RecordRunInJournal(ITorvoBankAccount* account, IPaymentBatchView& batch, const std::string& paymentFile,
                        const PaymentFileChoices& choices, const std::vector<JournalPayment>& payments,
                        WindowHandle owner);

}  // namespace paylode
