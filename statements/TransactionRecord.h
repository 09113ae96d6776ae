/*
 * One transaction line of the bank's statement file, and the parser that
 * turns a line of the file into it.
 *
 * A line is 14 fields (the short layout, one narrative) or 18 fields (the
 * long layout, five narratives); which layout applies depends on the line's
 * own field count. The columns a line may read are limited by the column
 * map, built from the header line of the file being read and held by its
 * reader, so that two readers, on two threads if need be, never share one.
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

#include "common/CString.h"

namespace paylode {

// Field numbers (counted from 1) of a record's columns in order: column k is
// read from field map[k]. Each reader builds its own from its file's header
// (see CQVTTransactionFile::BuildColumnMap).
using ColumnMap = std::vector<int>;

class CTransactionRecord {
public:
    // Why a line could not be read. Thrown by the parser and the reader and
    // caught inside the reader; callers only see a failed read.
    enum ErrorCode {
        NoError = 0,
        TooFewFields = 1,     // fewer than 14 fields: an empty line, the end of the file
        LineTooLong = 2,      // longer than the line buffer: its end is missing
        BeyondColumnMap = 3,  // needs more columns than the file's header has
        FileNotOpen = 4,      // the statement file is not open
        TextFailure = 5,      // string handling failed (out of memory)
        HoldsNul = 6,         // a NUL character inside the line: read as text it would be another line
    };

    void Clear();

    CString GetSortCode() const { return SortCode; }
    CString GetAccountNumber() const { return AccountNumber; }
    CString GetType() const { return Type; }
    double GetDebit() const { return Debit; }
    double GetCredit() const { return Credit; }
    bool IsDebit() const { return DebitFlag != 0; }
    double GetDate() const { return Date; }
    CString GetNarrative1() const { return Narrative1; }
    // Builds the combined narrative into Narrative: Narrative1, then each
    // further narrative that is not empty after one space. Returns a copy.
    CString GetNarrative();

    CString SortCode;          // "Sort Code", at most 6 characters
    CString AccountNumber;     // at most 8
    CString AccountAlias;      // at most 35
    CString AccountShortName;  // at most 35
    CString Currency;          // at most 3
    CString AccountType;       // at most 20
    CString BIC;               // at most 34
    CString BankName;          // at most 35
    CString BranchName;        // at most 27
    CString DateText;          // the date column as written, unquoted
    CString Narrative;         // filled by GetNarrative only
    CString Narrative1;        // at most 50 each; 2 to 5 stay empty on a short line
    CString Narrative2;
    CString Narrative3;
    CString Narrative4;
    CString Narrative5;
    CString Type;                // transaction type code, at most 3 ("CHQ")
    double Debit = 0.0;          // money out, positive when set
    double Credit = 0.0;         // money in, positive when set
    std::int32_t DebitFlag = 0;  // 1 for a debit line
    double Date = 0.0;           // OLE automation date of DateText; 0.0 when unreadable
    int FieldCount = 0;          // fields of the line last read, 0 for an empty one (CR alone); set also when refused

    // The date text of the line read before and its date, kept by Clear: a
    // statement's lines come day after day, most of them on the date of the
    // line before, which is then taken from here rather than read again.
    struct ReadDate {
        char text[16] = {};
        std::size_t length = 0;
        double date = 0.0;
    };
    ReadDate LastDate;
};

// Which of a line's texts a reading keeps in its records: all of them, or
// only what a transaction is made of and its account is matched by (the
// sort code, the account number, the type and the narratives). Whether a
// line can be read does not depend on it.
enum class RecordTexts { All, ForTransactions };

// Reads one line of `in` into `record`, which is cleared first, taking the
// record's columns from the fields `columns` names. NoError, or why the line
// cannot be read.
CTransactionRecord::ErrorCode ReadTransactionLine(std::istream& in, CTransactionRecord& record,
                                                  const ColumnMap& columns, RecordTexts texts = RecordTexts::All);

}  // namespace paylode
