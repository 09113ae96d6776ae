/*
 * Payments exported before, as the options dialog finds them in the payment
 * journal (payments/Journal.h) when it opens.
 *
 * A payment of the batch was exported before when the journal holds a
 * payment from the same paying account (the account the run stores its
 * settings under) with the same payee sort code digits, account number,
 * amount to the penny and payee BACS reference (the rule of a repeat within
 * the batch, payments/PayeeChecks.h), exported on or after today less the
 * window's days or with a processing date of today or later. The latest
 * such export is the one told.
 *
 * The journal of a year holds some 400,000 lines; the look-up hashes the
 * batch's payments once and passes over the journal's lines by their dates
 * and paying account before it takes their payee fields apart, so that only
 * what the window needs is read field by field, and a line's check is
 * computed only when it matches a payment. A damaged line never matches.
 */
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "payments/Journal.h"
#include "payments/StatementMarks.h"

namespace paylode {

// A payment of the batch, in the component's ANSI text as the host gives it.
struct PaymentToLookUp {
    std::string payeeSortCode;  // its digits are compared
    std::string payeeAccountNumber;
    double amount = 0;  // compared in pence, as the payment file writes it
    std::string payeeBACSReference;
};

// Which journal payments count.
struct ExportedBeforeWindow {
    std::string payerSortCode;  // the paying account's; its digits are compared
    std::string payerAccountNumber;
    double today = 0;    // OLE automation date; only its day counts
    int windowDays = 0;  // exports on or after today less this many days count
};

// The years whose journal files can hold what the window needs: from the
// year of today less the window (or less the 45 days a processing date may
// lie ahead, when that is further back) to today's year.
std::vector<int> JournalYearsToRead(const ExportedBeforeWindow& window);

class CExportedBefore {
public:
    CExportedBefore(const ExportedBeforeWindow& window, const std::vector<PaymentToLookUp>& payments);

    // Looks the batch's payments up among one journal file's lines, from
    // the whole file's bytes; call it once for each file read.
    void ScanJournal(std::string_view journalBytes);

    // The same for a file read in parts of any size, so that a year's
    // journal (about 115 MB at 400,000 lines) need not be held whole: Begin,
    // then each part in order, then End. A file read from some way into it
    // (`atFileStart` false) has its first, partial, line skipped as
    // damaged; a line only a later part completes is held until then (at
    // most 64 KiB of it).
    void BeginJournal(bool atFileStart = true);
    void ScanJournalPart(std::string_view part);
    void EndJournal();

    // The latest earlier export of the payment at `position` of the batch
    // given, "YYYY-MM-DDTHH:MM:SS"; empty when none.
    const std::string& LatestExport(std::size_t position) const { return latest_[position]; }
    // Adds the marks of one statement marks file (payments/StatementMarks.h).
    void ReadStatementMarks(std::string_view bytes) { marks_.Read(bytes); }
    // The day ("YYYY-MM-DD") a statement showed the latest earlier export of
    // the payment at `position`; empty when none did or it has none.
    std::string OnStatement(std::size_t position) const;

    // How many payments of the batch were exported before, and the latest
    // export among them (empty when none).
    long Count() const;
    std::string Latest() const;

private:
    void ScanRecords(CJournalRecords& records);
    // Whether a line's dates fall in the window and it is the paying
    // account's.
    bool Counts(const std::array<std::string_view, kJournalFieldCount>& fields) const;

    std::string today_;   // YYYY-MM-DD
    std::string cutoff_;  // YYYY-MM-DD: today less the window
    std::string payerSortCode_;
    std::string payerAccountNumber_;  // UTF-8, as the journal holds it
    std::unordered_map<std::string, std::vector<std::size_t>> positions_;  // of each payment's key
    std::vector<std::string> latest_;
    std::vector<std::string> latestRun_;  // the run and row of that export
    std::vector<long> latestRow_;
    CStatementMarks marks_;
    std::string key_;  // reused for every line
    std::string runFields_;        // the last unquoted line's run fields, their last comma included
    std::size_t runExportedAt_ = 0;  // where its exported field starts, and its size
    std::size_t runExportedSize_ = 0;
    bool runCounts_ = false;       // whether its lines count
    std::string pending_;  // a file read in parts: the bytes of a line not yet whole
    long pendingLine_ = 1;  // the number of that line
};

}  // namespace paylode
