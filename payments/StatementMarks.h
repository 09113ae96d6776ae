/*
 * The payments of the journal seen on the bank's statement: after a
 * statement import, the journal payments and bulk runs that its debits
 * match (payments/Reconcile.h) are marked in "PaylodeOnStatement-YYYY.csv"
 * (the year of the import) beside the journal files, and the options
 * dialog then tells an earlier export as "exported 03/12/2026, on
 * statement 05/12/2026".
 *
 * The file is written and read by the journal's rules (payments/Journal.h):
 * UTF-8 with a byte-order mark, a header line, CSV quoting, CR LF, a CRC-32
 * check field last, one write per import under the journal's lock, and
 * damaged lines skipped by every reader. The columns: `run`, `row` (empty
 * for a bulk run), `amount`, `statement_date` (the debit's day,
 * YYYY-MM-DD), `statement_line`, `statement_file`, `imported` (local time,
 * YYYY-MM-DDTHH:MM:SS) and `crc32`.
 */
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/OleDate.h"
#include "payments/Reconcile.h"

namespace paylode {

constexpr std::size_t kStatementMarkFieldCount = 8;

// "PaylodeOnStatement-2026.csv".
std::string StatementMarksFileName(int year);

// The header line with its line end, without the byte-order mark.
std::string StatementMarksHeaderLine();

// The marks of marks files read so far: which payment or bulk run was seen
// on a statement, and on which day.
class CStatementMarks {
public:
    // Adds the whole marks lines of one file's bytes; damaged lines are skipped.
    void Read(std::string_view bytes);

    // The day ("YYYY-MM-DD") the statement showed the payment in row `row`
    // of run `run`, or the bulk run it belongs to; empty when none did. The
    // earliest day when several imports marked it.
    std::string SeenOn(const std::string& run, long row) const;

    bool Holds(const std::string& run, long row) const { return days_.count({run, row}) > 0; }

private:
    std::map<std::pair<std::string, long>, std::string> days_;  // by run and row (0: the bulk run)
};

// The marks of the items of `reconciliation` that a debit matched and that
// `known` does not hold yet, as the bytes to append to a marks file ending
// in `fileEnd` (as JournalAppendText takes it); empty when there is none.
// `statementFile` is in the component's ANSI text.
std::string StatementMarksAppendText(std::string_view fileEnd, const Reconciliation& reconciliation,
                                     const CStatementMarks& known, const std::string& statementFile,
                                     const DateFields& imported);

}  // namespace paylode
