/*
 * The bank's statement set against the payment journal (payments/Journal.h):
 * which exported payments have left the paying account, on which statement
 * line, and which debits nothing in the journal explains.
 *
 * What is matched: each payment of formats 0 and 1, and each run of formats
 * 2 and 3 (a bulk list the bank debits as one) by its total. A debit
 * matches when its amount is equal to the penny and its date lies from the
 * processing date to the third banking day after it (weekends, the
 * calendar's bank holidays and the table of bank closures are not banking
 * days). Each debit matches at most once. Where several debits could match,
 * a debit whose narrative holds the payment's payee BACS reference or its
 * reference is taken first, then the earliest: every item first takes the
 * earliest debit that names it, in journal order, and only then do the
 * items still unmatched take the earliest debit left.
 *
 * What is counted: the items whose whole window, processing date to its
 * third banking day, lies within the statement's first and last dates; the
 * others still explain the debits they match.
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payments/Journal.h"

namespace paylode {

class CBankClosures;

// A debit of the paying account's statement.
struct StatementDebit {
    long line = 0;    // its line in the statement file, from 1 (the header's)
    double date = 0;  // OLE automation date; 0 when unreadable, then never matched
    std::int64_t pence = 0;
    std::string narrative;  // the combined narrative, UTF-8
};

// The statement's side of a reconciliation: the account's debits, and the
// span of its transactions' dates (0 when none is dated).
struct StatementDebits {
    std::vector<StatementDebit> debits;
    double first = 0;
    double last = 0;

    // One transaction of the account as the import makes it, at `line` of
    // the file: its date counts for the span; a debit is kept.
    void Add(long line, double date, bool debit, double amount, std::string narrative);
};

// A payment of formats 0 and 1, or a bulk run, as the statement should show it.
struct ReconcileItem {
    std::string run;
    long row = 0;  // the payment's row in its batch; 0 for a bulk run
    std::int64_t pence = 0;
    double processingDate = 0;            // the day, at midnight
    double lastDate = 0;                  // the third banking day after it
    std::vector<std::string> references;  // what a debit's narrative may hold of it
    // Set by Reconcile:
    long statementLine = 0;  // the debit it matched; 0 when none
    double statementDate = 0;
    bool counted = false;  // its whole window lies within the statement's dates
};

struct Reconciliation {
    std::vector<ReconcileItem> items;      // journal order
    std::vector<std::size_t> unexplained;  // the debits nothing matched, by their index, in statement order
    long found = 0;                        // counted items matched
    long notFound = 0;                     // counted items not matched
};

// The day `days` banking days after `date`'s day, at midnight.
double BankingDaysAfter(double date, int days, const CBankClosures* closures);

// The items of the journal's payments from one paying account (`payerSortCode`
// as digits), in journal order: a run is its consecutive lines. Lines
// whose amount, format or processing date cannot be read are left out.
std::vector<ReconcileItem> ReconcileItems(const std::vector<JournalEntry>& entries, const std::string& payerSortCode,
                                          const std::string& payerAccountNumber, const CBankClosures* closures);

// Matches the items against the statement's debits.
Reconciliation Reconcile(std::vector<ReconcileItem> items, const StatementDebits& statement);

}  // namespace paylode
