/*
 * The payment journal: once a payment run has put its payment file in
 * place, one line for each payment written to that file is appended to
 * PaylodeJournal-YYYY.csv (YYYY: the year of the run's local time) in the
 * journal folder. The options dialog reads it to warn of a payment exported
 * before (payments/JournalLookup.h), and `paylode journal` lists its runs.
 *
 * The file is UTF-8 with a byte-order mark, so that a spreadsheet opens it
 * right, and CSV (RFC 4180 quoting, common/CsvField.h), lines ended by CR LF.
 * A header line names the columns when the file is created:
 *
 *   run,exported,user,machine,payer_sort_code,payer_account_number,format,
 *   processing_date,currency,payment_file,payment_file_sha256,row,
 *   payee_account_name,payee_sort_code,payee_account_number,amount,
 *   payee_bacs_reference,reference,crc32
 *
 * The last field of every payment line is its check: the CRC-32 (IEEE
 * 802.3 polynomial, reflected, as zip and PNG use it) of the line's bytes
 * before its last comma, as 8 lower-case hexadecimal digits. A line whose
 * check does not match, whose field count is not 19, or that lacks its line
 * end (the last line of a run killed while it appended) is damaged: every
 * reader skips it, and `paylode journal --verify` names it by its line
 * number. A run's lines go in with one write, and that write begins with a
 * line break when the file's bytes do not end in one, so that a new line
 * never continues a damaged last line.
 *
 * What is written here is text: the payment file and its statuses are not
 * touched by the journal. The locking and the writing itself belong to the
 * platform's side.
 */
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/OleDate.h"
#include "common/TextConversion.h"

namespace paylode {

// The journal's columns, in their order; the check field follows them.
enum JournalColumn : int {
    kJournalRun,
    kJournalExported,
    kJournalUser,
    kJournalMachine,
    kJournalPayerSortCode,
    kJournalPayerAccountNumber,
    kJournalFormat,
    kJournalProcessingDate,
    kJournalCurrency,
    kJournalPaymentFile,
    kJournalPaymentFileSha256,
    kJournalRow,
    kJournalPayeeAccountName,
    kJournalPayeeSortCode,
    kJournalPayeeAccountNumber,
    kJournalAmount,
    kJournalPayeeBACSReference,
    kJournalReference,
    kJournalColumnCount  // 18
};

// Fields of a whole line: the columns and the check field.
constexpr int kJournalFieldCount = kJournalColumnCount + 1;

// The names of the header line, the check field's ("crc32") last.
extern const char* const kJournalFieldNames[kJournalFieldCount];

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// One payment run as the journal records it. Text is the component's ANSI
// text, written as UTF-8.
struct JournalRun {
    std::string run;             // opaque, unique per run (JournalRunId)
    DateFields exported;         // the run's local time, to the second
    std::string user;            // the Windows user name
    std::string machine;         // the computer's name
    std::string payerSortCode;   // the paying account's; its digits are written
    std::string payerAccountNumber;
    int format = 0;              // the payment format, 0 to 3
    double processingDate = 0;   // OLE automation date; its calendar date is written
    std::string currency;        // "GBP", or "EUR" for Republic Of Ireland payments
    std::string paymentFile;     // full path of the payment file put in place
    std::string paymentFileSha256;  // of that file's bytes (common/Sha256.h)
};

// One payment written to the payment file.
struct JournalPayment {
    long row = 0;                    // its row in the batch, from 1
    std::string payeeAccountName;    // as the host gives them
    std::string payeeSortCode;       // its digits are written
    std::string payeeAccountNumber;
    double amount = 0;               // written as the payment file writes it
    std::string payeeBACSReference;
    std::string reference;           // the reference the payment file carries
};

// "PaylodeJournal-2026.csv".
std::string JournalFileName(int year);

// A run's identifier: its local time, the machine, the process and a
// number the caller makes unique within the process (a counter, a tick
// count): "20261208T121530-PAYROLL1-1f4c-2".
std::string JournalRunId(const DateFields& exported, const std::string& machine, unsigned long process,
                         unsigned long long number);

// The CRC-32 (IEEE 802.3, reflected, initial and final value 0xFFFFFFFF)
// of `bytes`: CRC-32 of "123456789" is 0xcbf43926.
std::uint32_t Crc32(std::string_view bytes);

// The header line with its line end, without the byte-order mark.
std::string JournalHeaderLine();

// The payment's whole line, check field and CR LF included.
std::string JournalLine(const JournalRun& run, const JournalPayment& payment);

// How many of a journal file's last bytes an append needs: as many as its
// byte-order mark and header take.
std::size_t JournalEndSize();

// The bytes one run appends, in one write, to a journal file whose bytes end
// in `fileEnd` (its last JournalEndSize() bytes, or the whole file when it
// is shorter): the byte-order mark and header, or what is missing of them
// when a first run was killed while it wrote them; a line break first when
// the file does not end in one (only the LF when it ends in the CR of a torn
// CR LF); then one line per payment.
std::string JournalAppendText(std::string_view fileEnd, const JournalRun& run,
                              const std::vector<JournalPayment>& payments);

// The same rule for any file of checked lines under a header line (with
// its line end): the bytes that append `lines` (whole lines, CR LF ended).
std::string CheckedFileAppendText(std::string_view fileEnd, const std::string& headerLine, const std::string& lines);

// A local time as the journal writes it: "2026-12-03T10:15:00".
std::string JournalTimeText(const DateFields& time);

// A checked line's parts: an ANSI text as a CSV field in UTF-8, and the
// check field (the CRC-32 of the line so far) with the line end.
void AppendAnsiField(std::string* line, const std::string& ansi);
void SealCheckedLine(std::string* line);

// ---- reading ------------------------------------------------------------------

// A record of a journal file as it lies in the bytes, before it is checked.
// Most records are one line; a quoted field holding a line break carries
// its record over the lines after it.
struct JournalRecordText {
    std::string_view text;     // without its line end
    long line = 0;             // where it starts, from 1; line 1 is the header's
    bool ended = false;        // followed by a line end
    bool quoted = false;       // holds a double quote: its fields need unquoting
    bool openQuote = false;    // a quoted field not closed in any line it may span
};

// The records of a journal file's bytes, in order. A byte-order mark at the
// start of the file is passed over. A record may span lines only as far as
// its quotes carry it and only when its check field then matches, so that a
// damaged line costs only itself and the line after it starts afresh.
//
// The bytes may be a part of the file: `firstLine` is the number of the
// line they start with (1 at the start of the file), and with `more` true
// further bytes follow, so a record that reaches the end of these bytes is
// not given yet: Next() returns false before it, and Consumed() tells where
// it starts.
class CJournalRecords {
public:
    explicit CJournalRecords(std::string_view bytes, long firstLine = 1, bool more = false);
    // The next record; false at the end of the bytes (or before a record
    // that more bytes may complete).
    bool Next(JournalRecordText* record);
    // How many bytes the records given so far took, and the number of the
    // line the next one starts on.
    std::size_t Consumed() const { return position_; }
    long Line() const { return line_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    long line_ = 1;
    bool more_ = false;
};

// Whether the record's check field is 8 lower-case hexadecimal digits after
// its last comma, matching the CRC-32 of the bytes before that comma.
bool JournalCheckMatches(std::string_view record);

// Why a record that is not the header is damaged, or empty when it is a
// whole payment line; `fields` then holds its 19 fields, unquoted.
std::string JournalLineProblem(const JournalRecordText& record, std::vector<std::string>* fields);

// The same for a checked line of `fieldCount` fields (its check included),
// `lineName` naming such a line in the problem ("a journal line").
std::string CheckedLineProblem(const JournalRecordText& record, std::size_t fieldCount, const char* lineName,
                               std::vector<std::string>* fields);

// A whole payment line, as read: the columns' texts, unquoted.
struct JournalEntry {
    long line = 0;  // where it starts, from 1
    std::array<Utf8Text, kJournalColumnCount> fields;

    const std::string& operator[](JournalColumn column) const { return fields[column].Bytes(); }
};

// A line that every reader skips, and why.
struct JournalDamage {
    long line = 0;
    std::string problem;  // "the check field does not match the line"
};

struct JournalReading {
    std::vector<JournalEntry> entries;  // in file order
    std::vector<JournalDamage> damaged;
};

// Every line of a journal file's bytes: the payment lines that are whole,
// and the lines that are damaged (a first line that is not the header
// included).
JournalReading ReadJournal(std::string_view bytes);

// What a reader may pick lines by before they are checked and taken apart:
// the paying account's sort code digits and account number, and the
// processing date (YYYY-MM-DD), as the line holds them.
struct JournalLineKey {
    std::string_view payerSortCode;
    std::string_view payerAccountNumber;
    std::string_view processingDate;
};

// The whole payment lines whose key `keep` accepts, in file order; the
// others, and damaged lines, are passed over unchecked. A year's journal
// is read so in a fraction of the time and memory of the whole reading.
std::vector<JournalEntry> ReadJournalLines(std::string_view bytes,
                                           const std::function<bool(const JournalLineKey&)>& keep);

// ---- amounts ------------------------------------------------------------------

// The amount text of a payment file ("1234.50", "-0.50": digits, a point
// and two decimals, a minus sign when negative) in pence. False for any
// other text ("nan", "inf") and for amounts beyond 64 bits of pence.
bool PenceOfAmount(std::string_view amount, std::int64_t* pence);

// Pence as an amount text: 123450 gives "1234.50", -50 gives "-0.50".
std::string AmountOfPence(std::int64_t pence);

}  // namespace paylode
