/*
 * The statement import's line loop, shared by the statement service and the
 * `paylode statement` tool so that both read a file the same way.
 *
 * Reading goes record by record from the line after the header and stops at
 * the first line that cannot be read; a trailing empty line is the file's
 * normal end. When lines that could have been read follow the line where
 * reading stopped, their transactions never reach the host: the loop then
 * says so on the debugger output, with the line number and the count of
 * those lines, and hands the same figures to its caller.
 */
#pragma once

#include <cstdint>
#include <functional>

#include "common/CString.h"
#include "statements/QVTTransactionFile.h"
#include "statements/StatementTransaction.h"
#include "statements/TransactionRecord.h"

namespace paylode {

// How far reading a statement went and why it stopped.
struct StatementReading {
    int linesRead = 0;     // lines taken from the file, header and the stopping line included
    int records = 0;       // records delivered
    int transactions = 0;  // of those, the transactions for the account (import only)
    CTransactionRecord::ErrorCode stop = CTransactionRecord::NoError;  // why the last read failed
    bool atEnd = false;    // the last read found no line left: the file's end
    int linesNotRead = 0;  // lines after the stopping line that could have been read

    bool LostLines() const { return linesNotRead > 0; }
    // "1 readable line after line 7 not read", "3 readable lines after ...".
    CString LostLinesText() const;
};

// Hands every record of an open statement (its column map built) to
// `deliver` until a line cannot be read, then counts and reports the lines
// lost after it.
StatementReading ReadStatementRecords(CQVTTransactionFile& reader,
                                      const std::function<void(CTransactionRecord&)>& deliver);

// The import: every record of `account` becomes a transaction, numbered
// from 1 without gaps, handed to `add` in file order. What `add` throws ends
// the reading and passes on.
StatementReading ImportStatementRecords(CQVTTransactionFile& reader, const StatementAccount& account,
                                        const std::function<void(const StatementTransaction&)>& add);

}  // namespace paylode
