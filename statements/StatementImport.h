/*
 * The statement import's line loop, shared by the statement service and the
 * `paylode statement` tool so that both read a file the same way.
 *
 * Reading goes record by record from the line after the header and stops at
 * the first line that cannot be read; a trailing empty line, or a footer of
 * fewer fields, is the file's normal end. When lines that could have been
 * read follow the line where reading stopped, the file cannot be imported
 * whole: the loop says so on the debugger output, with the line number and
 * the count of those lines, and hands the same figures to its caller, and
 * the import tells the user why (StatementFileProblem).
 *
 * An import reads the whole file before it touches the host's statement
 * (CheckStatementFile), so that a file that cannot be imported whole leaves
 * the statement as it was. That reading keeps the transactions the import
 * will add (CKeptTransactions), and the import adds them from there
 * (DeliverStatementTransactions): the file is read once. Only an account
 * whose lines did not all fit the keeper's cap is read from the file again.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/CString.h"
#include "statements/KeptTransactions.h"
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
    int stopFields = 0;    // fields of the stopping line (0 for an empty one)
    int headerFields = 0;  // fields of the file's header

    bool LostLines() const { return linesNotRead > 0; }
    // Whether the file cannot be imported whole: lines were lost, or reading
    // stopped at a line holding a NUL, which is a damaged line and never the
    // file's normal end.
    bool Refused() const { return LostLines() || stop == CTransactionRecord::HoldsNul; }
    // "1 readable line after line 7 not read", "3 readable lines after ...".
    CString LostLinesText() const;
};

// Hands every record of an open statement (its column map built) to
// `deliver` until a line cannot be read, then counts and reports the lines
// lost after it.
StatementReading ReadStatementRecords(CQVTTransactionFile& reader,
                                      const std::function<void(CTransactionRecord&)>& deliver);

// The sentence that tells the user why the statement at `path` cannot be
// imported whole, once reading stopped at a line that readable lines follow:
// "Line 7 of C:\Statements\march.csv cannot be read: it has 9 fields; a
// statement line has at least 14." Empty when nothing was lost.
std::string UnreadableLineText(const StatementReading& reading, const char* path);

// A statement file read whole, once.
struct CheckedStatement {
    std::string problem;       // why it cannot be imported whole; empty when it can
    StatementReading reading;  // how far the reading went (nothing when it was not read)
    CKeptTransactions kept;    // the transactions kept for delivery
};

// Reads the whole statement at `path` without delivering anything and says
// why it cannot be imported whole: it is a device or a pipe, it cannot be
// opened, its header has another field count than 14 or 18, or a line that
// cannot be read is followed by a readable one. Every record read is handed
// to `keep`, which keeps what it was made to keep.
CheckedStatement CheckStatementFile(const char* path, CKeptTransactions keep);

// CheckStatementFile's sentence, keeping nothing. Empty when the file can be
// imported.
std::string StatementFileProblem(const char* path);

// What delivering a checked statement's transactions came to.
struct StatementDelivery {
    StatementReading reading;
    bool refused = false;  // the file, read again, can no longer be imported whole
    std::string problem;   // why, when refused
};

// Hands the transactions of `account` in the statement at `path`, which
// `checked` found good, to `add` in file order, numbered from 1, each with
// the number of the line it was read from: from those the check kept when it
// kept them all, otherwise by reading the file again as ImportStatementRecords
// does. Either way the debugger output is what a second reading writes.
// What `add` throws ends the delivery and passes on.
StatementDelivery DeliverStatementTransactions(const char* path, const CheckedStatement& checked,
                                               const StatementAccount& account,
                                               const std::function<void(const StatementTransaction&, int line)>& add);

// The import: every record of `account` becomes a transaction, numbered
// from 1 without gaps, handed to `add` in file order. What `add` throws ends
// the reading and passes on.
StatementReading ImportStatementRecords(CQVTTransactionFile& reader, const StatementAccount& account,
                                        const std::function<void(const StatementTransaction&)>& add);

}  // namespace paylode
