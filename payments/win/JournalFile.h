/*
 * The payment journal's file on Windows: a run's lines appended to
 * PaylodeJournal-YYYY.csv (payments/Journal.h) in one write, under a lock
 * that holds across processes and, on a share, across machines.
 *
 * The lock is LockFileEx on one byte far beyond any journal's end, so that
 * it keeps out other appenders without keeping readers (the options
 * dialog's look-up, a spreadsheet) from the journal's lines. It is waited
 * for at most 5 seconds: the journal never holds a payment run up for long.
 * Under the lock the file's last bytes are read, so that a run killed
 * while it appended (a last line without its line end) is closed off before
 * the new lines, which are written at the end in one write and flushed
 * before the lock goes.
 *
 * The journal's folder and file are created, where missing, with the rights
 * BANKSERV.INI gets, so that every local user's run can append to them.
 */
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/TextConversion.h"
#include "payments/Journal.h"
#include "payments/JournalLookup.h"

namespace paylode {

// How long an append waits for another's lock, in milliseconds.
constexpr unsigned long kJournalLockWaitMs = 5000;

// `folder`\PaylodeJournal-YYYY.csv.
WideString JournalPathIn(const WideString& folder, int year);

// `folder`\PaylodeOnStatement-YYYY.csv (payments/StatementMarks.h).
WideString StatementMarksPathIn(const WideString& folder, int year);

// Appends the run's lines to the journal file at `path`, creating the file
// (and its folder) where missing. Empty when the lines went in, otherwise
// why not, in words for the clerk ("the journal is in use by another
// program"); a failed append writes nothing.
std::string AppendToJournal(const WideString& path, const JournalRun& run,
                            const std::vector<JournalPayment>& payments);

// The same for any file of checked lines: `text` makes the bytes to append
// from the file's last bytes (as JournalAppendText takes them), under the
// journal's lock; nothing is written when it makes none. `holder` names
// who else may hold the lock ("another payment run").
std::string AppendToCheckedFile(const WideString& path, const char* holder,
                                const std::function<std::string(std::string_view)>& text);

// The whole file at `path` into `bytes`: ERROR_SUCCESS, or the Win32 error
// that stopped the reading (ERROR_FILE_NOT_FOUND for no file).
unsigned long ReadJournalFile(const WideString& path, std::string* bytes);

// Reads the journal files of `folder` that `lookUp`'s window needs (one
// per year, payments/JournalLookup.h) into it, in parts, so that a year's
// file is never held whole, and then the statement marks of those years. A year without a file, or a folder not made
// yet, is no failure: nothing was exported then. False when a file that is there cannot be read, and
// then one debugger line says why.
bool ScanJournalFolder(const WideString& folder, const ExportedBeforeWindow& window, CExportedBefore& lookUp);

// The SHA-256 of the file at `path` (common/Sha256.h) into `digest`; false
// with why not in `why` when it cannot be read.
bool Sha256OfFile(const WideString& path, std::string* digest, std::string* why);

// "it is in use by another program (Win32 error 32)": the system's words
// for a Win32 error, and its number.
std::string Win32Reason(unsigned long error);

}  // namespace paylode
