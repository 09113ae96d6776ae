/*
 * Payments exported before; see JournalLookup.h.
 */
#include "payments/JournalLookup.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/DigitsOf.h"
#include "common/OleDate.h"
#include "common/TextConversion.h"
#include "payments/BankingCalendar.h"
#include "payments/Journal.h"
#include "payments/PaymentRecords.h"

namespace paylode {
namespace {

// A key part: its length in four bytes, then its bytes, so that no text of
// one part can pass for another's.
void AppendKeyPart(std::string* key, std::string_view part) {
    const auto size = static_cast<std::uint32_t>(part.size());
    for (int shift = 0; shift < 32; shift += 8) key->push_back(static_cast<char>((size >> shift) & 0xFF));
    key->append(part);
}

// The repeat rule's key: payee sort code digits, account number, amount in
// pence and payee BACS reference, all as the journal holds them (UTF-8).
// False when the amount is not one in pence.
bool MakeKey(std::string* key, std::string_view sortCodeDigits, std::string_view accountNumber,
             std::string_view amount, std::string_view bacsReference) {
    std::int64_t pence = 0;
    if (!PenceOfAmount(amount, &pence)) return false;
    key->clear();
    AppendKeyPart(key, sortCodeDigits);
    AppendKeyPart(key, accountNumber);
    const auto bits = static_cast<std::uint64_t>(pence);
    for (int shift = 0; shift < 64; shift += 8) key->push_back(static_cast<char>((bits >> shift) & 0xFF));
    AppendKeyPart(key, bacsReference);
    return true;
}

std::string Utf8Of(const std::string& ansi) { return Utf8FromAnsi(ansi.c_str()).Bytes(); }

using Fields = std::array<std::string_view, kJournalFieldCount>;

// Takes the fields of an unquoted line from `*at` on, up to field `last`
// (from `first`); false when the line has fewer fields, or more once the
// last field of a line is taken.
bool TakeFields(std::string_view text, std::size_t* at, int first, int last, Fields* fields) {
    for (int field = first; field <= last; ++field) {
        if (*at > text.size()) return false;
        const char* begin = text.data() + *at;
        const auto* comma = static_cast<const char*>(std::memchr(begin, ',', text.size() - *at));
        const std::size_t length = comma != nullptr ? static_cast<std::size_t>(comma - begin) : text.size() - *at;
        (*fields)[field] = std::string_view(begin, length);
        *at += length + 1;
        if (comma == nullptr && field != kJournalFieldCount - 1) return false;
        if (comma != nullptr && field == kJournalFieldCount - 1) return false;
    }
    return true;
}

}  // namespace

std::vector<int> JournalYearsToRead(const ExportedBeforeWindow& window) {
    const double today = std::floor(window.today);
    const int back = std::max(window.windowDays, kMaxProcessingDaysAhead);
    DateFields first;
    DateFields last;
    std::vector<int> years;
    if (!FieldsFromOleDate(today - back, &first) || !FieldsFromOleDate(today, &last)) return years;
    for (int year = first.year; year <= last.year; ++year) years.push_back(year);
    return years;
}

CExportedBefore::CExportedBefore(const ExportedBeforeWindow& window, const std::vector<PaymentToLookUp>& payments)
    : today_(FormatIsoDate(std::floor(window.today))),
      cutoff_(FormatIsoDate(std::floor(window.today) - std::max(window.windowDays, 0))),
      payerSortCode_(DigitsOf(window.payerSortCode.c_str()).GetString()),
      payerAccountNumber_(Utf8Of(window.payerAccountNumber)),
      latest_(payments.size()),
      latestRun_(payments.size()),
      latestRow_(payments.size()) {
    positions_.reserve(payments.size());
    for (std::size_t position = 0; position < payments.size(); ++position) {
        const PaymentToLookUp& payment = payments[position];
        if (MakeKey(&key_, DigitsOf(payment.payeeSortCode.c_str()).GetString(), Utf8Of(payment.payeeAccountNumber),
                    AmountField(payment.amount), Utf8Of(payment.payeeBACSReference))) {
            positions_[key_].push_back(position);
        }
    }
}

void CExportedBefore::ScanJournal(std::string_view journalBytes) {
    CJournalRecords records(journalBytes);
    ScanRecords(records);
}

void CExportedBefore::BeginJournal(bool atFileStart) {
    pending_.clear();
    pendingLine_ = atFileStart ? 1 : 2;
}

void CExportedBefore::ScanJournalPart(std::string_view part) {
    if (positions_.empty()) return;
    std::string_view bytes = part;
    if (!pending_.empty()) {
        pending_.append(part);
        bytes = pending_;
    }
    CJournalRecords records(bytes, pendingLine_, true);
    ScanRecords(records);
    pendingLine_ = records.Line();
    std::string rest(bytes.substr(records.Consumed()));
    pending_ = std::move(rest);
}

void CExportedBefore::EndJournal() {
    CJournalRecords records(pending_, pendingLine_);
    ScanRecords(records);
    pending_.clear();
}

bool CExportedBefore::Counts(const std::array<std::string_view, kJournalFieldCount>& fields) const {
    if (fields[kJournalExported] < cutoff_ && fields[kJournalProcessingDate] < today_) return false;
    return fields[kJournalPayerSortCode] == payerSortCode_ && fields[kJournalPayerAccountNumber] == payerAccountNumber_;
}

void CExportedBefore::ScanRecords(CJournalRecords& records) {
    if (positions_.empty()) return;
    JournalRecordText record;
    Fields fields;
    std::vector<std::string> unquoted;
    while (records.Next(&record)) {
        // The header, a torn last line and a quote never closed are damaged.
        if (record.line == 1 || !record.ended || record.openQuote) continue;
        bool checked = false;
        // The lines of a run share their run's fields, which settle whether
        // they count: a line that begins with the bytes of the last line's
        // run fields is judged as that line was.
        std::size_t at = 0;
        if (!record.quoted && !runFields_.empty() && record.text.size() > runFields_.size() &&
            std::memcmp(record.text.data(), runFields_.data(), runFields_.size()) == 0) {
            if (!runCounts_) continue;
            at = runFields_.size();
            fields[kJournalExported] = record.text.substr(runExportedAt_, runExportedSize_);
            if (!TakeFields(record.text, &at, kJournalRow, kJournalFieldCount - 1, &fields)) continue;
        } else {
            // The dates and the paying account first, read without unquoting
            // when no quote comes before them.
            const std::size_t quote = record.quoted ? record.text.find('"') : std::string_view::npos;
            const bool early = TakeFields(record.text, &at, 0, kJournalPaymentFileSha256, &fields) && quote >= at;
            if (!early && !record.quoted) continue;
            if (early && !record.quoted) {
                runFields_.assign(record.text.substr(0, at));
                runExportedAt_ = static_cast<std::size_t>(fields[kJournalExported].data() - record.text.data());
                runExportedSize_ = fields[kJournalExported].size();
                runCounts_ = Counts(fields);
            }
            if (early && !Counts(fields)) continue;
            if (record.quoted) {
                // A comma or a quote in a name: the whole line is checked and
                // taken apart.
                if (!JournalLineProblem(record, &unquoted).empty()) continue;
                for (int field = 0; field < kJournalFieldCount; ++field) fields[field] = unquoted[field];
                checked = true;
                if (!early && !Counts(fields)) continue;
            } else if (!TakeFields(record.text, &at, kJournalRow, kJournalFieldCount - 1, &fields)) {
                continue;
            }
        }
        if (!MakeKey(&key_, fields[kJournalPayeeSortCode], fields[kJournalPayeeAccountNumber], fields[kJournalAmount],
                     fields[kJournalPayeeBACSReference])) {
            continue;
        }
        const auto found = positions_.find(key_);
        if (found == positions_.end()) continue;
        // A match counts only from a whole line.
        if (!checked && !JournalCheckMatches(record.text)) continue;
        const std::string_view exported = fields[kJournalExported];
        // The run is the line's first field, never quoted by the journal.
        const std::string_view run = checked ? fields[kJournalRun] : record.text.substr(0, record.text.find(','));
        for (const std::size_t position : found->second) {
            if (exported <= latest_[position]) continue;
            latest_[position].assign(exported);
            latestRun_[position].assign(run);
            latestRow_[position] = std::atol(std::string(fields[kJournalRow]).c_str());
        }
    }
}

std::string CExportedBefore::OnStatement(std::size_t position) const {
    return latest_[position].empty() ? std::string() : marks_.SeenOn(latestRun_[position], latestRow_[position]);
}

long CExportedBefore::Count() const {
    return static_cast<long>(std::count_if(latest_.begin(), latest_.end(), [](const std::string& e) { return !e.empty(); }));
}

std::string CExportedBefore::Latest() const {
    std::string latest;
    for (const std::string& exported : latest_) latest = std::max(latest, exported);
    return latest;
}

}  // namespace paylode
