/*
 * The payment journal's lines; see Journal.h.
 */
#include "payments/Journal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

#include "common/CsvField.h"
#include "common/DigitsOf.h"
#include "payments/PaymentRecords.h"

namespace paylode {

const char* const kJournalFieldNames[kJournalFieldCount] = {
    "run",
    "exported",
    "user",
    "machine",
    "payer_sort_code",
    "payer_account_number",
    "format",
    "processing_date",
    "currency",
    "payment_file",
    "payment_file_sha256",
    "row",
    "payee_account_name",
    "payee_sort_code",
    "payee_account_number",
    "amount",
    "payee_bacs_reference",
    "reference",
    "crc32",
};

namespace {

// A record longer than this is never one the journal wrote (its fields come
// from values of at most 255 characters and one path): a quoted field is
// not followed further.
constexpr std::size_t kMaxRecordBytes = std::size_t{64} * 1024;

struct Crc32Table {
    std::uint32_t entries[256] = {};
    constexpr Crc32Table() {
        for (std::uint32_t byte = 0; byte < 256; ++byte) {
            std::uint32_t crc = byte;
            for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
            entries[byte] = crc;
        }
    }
};
constexpr Crc32Table kCrc32Table;

std::string Digits(const std::string& text) { return DigitsOf(text.c_str()).GetString(); }

bool IsLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// The fields of a record, unquoted; false when its quotes are malformed (a
// quote inside an unquoted field, anything but a separator after a closing
// quote, a quoted field never closed).
bool SplitFields(std::string_view text, std::vector<std::string>* fields) {
    fields->clear();
    std::size_t at = 0;
    for (;;) {
        std::string field;
        if (at < text.size() && text[at] == '"') {
            ++at;
            for (;;) {
                if (at >= text.size()) return false;
                if (text[at] == '"') {
                    if (at + 1 < text.size() && text[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += text[at++];
            }
            if (at < text.size() && text[at] != ',') return false;
        } else {
            const std::size_t comma = std::min(text.find(',', at), text.size());
            field.assign(text.substr(at, comma - at));
            if (field.find('"') != std::string::npos) return false;
            at = comma;
        }
        fields->push_back(std::move(field));
        if (at >= text.size()) return true;
        ++at;  // the separator
    }
}

}  // namespace

std::string JournalTimeText(const DateFields& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

void AppendAnsiField(std::string* line, const std::string& ansi) {
    AppendCsvField(line, Utf8FromAnsi(ansi.c_str()).Bytes());
}

void SealCheckedLine(std::string* line) {
    char check[16];
    std::snprintf(check, sizeof check, ",%08x\r\n", static_cast<unsigned>(Crc32(*line)));
    line->append(check);
}

std::string JournalLineProblem(const JournalRecordText& record, std::vector<std::string>* fields) {
    return CheckedLineProblem(record, kJournalFieldCount, "a journal line", fields);
}

std::string CheckedLineProblem(const JournalRecordText& record, std::size_t fieldCount, const char* lineName,
                               std::vector<std::string>* fields) {
    if (!record.ended) return "the line has no line end: it was cut off";
    if (record.openQuote) return "a quoted field is not closed";
    if (record.text.empty()) return "the line is empty";
    const std::size_t comma = record.text.rfind(',');
    const std::string_view check = comma == std::string_view::npos ? record.text : record.text.substr(comma + 1);
    if (comma == std::string_view::npos || check.size() != 8 ||
        std::count_if(check.begin(), check.end(), IsLowerHex) != 8) {
        return "the check field is not 8 hexadecimal digits";
    }
    if (!JournalCheckMatches(record.text)) return "the check field does not match the line";
    if (!SplitFields(record.text, fields)) return "its quotes are malformed";
    if (fields->size() != fieldCount) {
        return "it has " + std::to_string(fields->size()) + " fields; " + lineName + " has " +
               std::to_string(fieldCount);
    }
    return {};
}

std::string JournalFileName(int year) { return "PaylodeJournal-" + std::to_string(year) + ".csv"; }

std::string JournalRunId(const DateFields& exported, const std::string& machine, unsigned long process,
                         unsigned long long number) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d-", exported.year, exported.month, exported.day,
                  exported.hour, exported.minute, exported.second);
    char tail[48];
    std::snprintf(tail, sizeof tail, "-%lx-%llx", process, number);
    return text + machine + tail;
}

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) crc = kCrc32Table.entries[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::string JournalHeaderLine() {
    std::string line;
    for (int field = 0; field < kJournalFieldCount; ++field) {
        if (field > 0) line += ',';
        line += kJournalFieldNames[field];
    }
    return line + "\r\n";
}

std::string JournalLine(const JournalRun& run, const JournalPayment& payment) {
    // The texts in CSV quoting where they need it; digits, numbers and
    // dates as they stand.
    const auto text = [](const std::string& ansi) {
        std::string field;
        AppendAnsiField(&field, ansi);
        return field;
    };
    const std::string fields[] = {
        text(run.run), JournalTimeText(run.exported), text(run.user), text(run.machine),
        Digits(run.payerSortCode), text(run.payerAccountNumber), std::to_string(run.format),
        FormatIsoDate(run.processingDate), text(run.currency), text(run.paymentFile), text(run.paymentFileSha256),
        std::to_string(payment.row), text(payment.payeeAccountName), Digits(payment.payeeSortCode),
        text(payment.payeeAccountNumber), AmountField(payment.amount), text(payment.payeeBACSReference),
        text(payment.reference)};
    static_assert(static_cast<int>(std::size(fields)) + 1 == kJournalFieldCount, "every column but the check");
    std::string line;
    line.reserve(512);
    for (const std::string& field : fields) {
        if (&field != fields) line += ',';
        line += field;
    }
    SealCheckedLine(&line);
    return line;
}

std::size_t JournalEndSize() { return kUtf8ByteOrderMark.size() + JournalHeaderLine().size(); }

std::string JournalAppendText(std::string_view fileEnd, const JournalRun& run,
                              const std::vector<JournalPayment>& payments) {
    std::string lines;
    for (const JournalPayment& payment : payments) lines += JournalLine(run, payment);
    return CheckedFileAppendText(fileEnd, JournalHeaderLine(), lines);
}

std::string CheckedFileAppendText(std::string_view fileEnd, const std::string& headerLine, const std::string& lines) {
    std::string text;
    const std::string start = std::string(kUtf8ByteOrderMark) + headerLine;
    // Bytes shorter than the start that begin it are the whole file: a new
    // one, or one whose first run was cut short in its header.
    if (fileEnd.size() < start.size() && start.compare(0, fileEnd.size(), fileEnd) == 0) {
        text = start.substr(fileEnd.size());
    } else if (fileEnd.back() == '\r') {
        text += '\n';
    } else if (fileEnd.back() != '\n') {
        text += "\r\n";
    }
    return text + lines;
}

CJournalRecords::CJournalRecords(std::string_view bytes, long firstLine, bool more)
    : bytes_(bytes), line_(firstLine), more_(more) {
    if (firstLine == 1 && bytes_.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
        position_ = kUtf8ByteOrderMark.size();
    }
}

bool CJournalRecords::Next(JournalRecordText* record) {
    if (position_ >= bytes_.size()) return false;
    const char* const begin = bytes_.data() + position_;
    const char* const end = bytes_.data() + bytes_.size();
    const auto* lineFeed = static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
    if (lineFeed == nullptr && more_) return false;
    const char* const lineEnd = lineFeed != nullptr ? lineFeed : end;

    JournalRecordText found;
    found.line = line_;
    const char* recordEnd = lineEnd;
    long lines = 1;
    if (std::memchr(begin, '"', static_cast<std::size_t>(lineEnd - begin)) != nullptr) {
        found.quoted = true;
        // Follow the quotes: a line break inside a quoted field belongs to
        // the field.
        bool inQuotes = false;
        long breaks = 0;
        const bool cut = static_cast<std::size_t>(end - begin) > kMaxRecordBytes;
        const char* const limit = cut ? begin + kMaxRecordBytes : end;
        const char* at = begin;
        for (; at < limit; ++at) {
            if (*at == '"') {
                inQuotes = !inQuotes;
            } else if (*at == '\n') {
                if (!inQuotes) break;
                ++breaks;
            }
        }
        // Quotes still open at the end of these bytes: more may close them.
        if (at == end && more_) return false;
        const bool closed = !inQuotes && (at < limit || !cut);
        if (closed && breaks > 0) {
            // Carried over further lines: taken so only when the check
            // matches, or a damaged line would swallow whole lines after it.
            std::string_view candidate(begin, static_cast<std::size_t>(at - begin));
            if (!candidate.empty() && candidate.back() == '\r') candidate.remove_suffix(1);
            if (JournalCheckMatches(candidate)) {
                recordEnd = at;
                lines = breaks + 1;
            } else {
                found.openQuote = true;
            }
        } else if (!closed) {
            found.openQuote = true;
        }
    }
    found.ended = recordEnd != end;
    found.text = std::string_view(begin, static_cast<std::size_t>(recordEnd - begin));
    if (!found.text.empty() && found.text.back() == '\r') found.text.remove_suffix(1);
    *record = found;
    position_ = found.ended ? static_cast<std::size_t>(recordEnd + 1 - bytes_.data()) : bytes_.size();
    line_ += lines;
    return true;
}

bool JournalCheckMatches(std::string_view record) {
    const std::size_t comma = record.rfind(',');
    if (comma == std::string_view::npos || record.size() - comma - 1 != 8) return false;
    std::uint32_t check = 0;
    for (const char c : record.substr(comma + 1)) {
        if (!IsLowerHex(c)) return false;
        check = check << 4 | static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return check == Crc32(record.substr(0, comma));
}

namespace {

// The key of an unquoted start of a record: false when a quote comes before
// the processing date's end, or the record has too few fields.
bool LineKeyOf(std::string_view text, JournalLineKey* key) {
    std::string_view fields[kJournalProcessingDate + 1];
    std::size_t at = 0;
    for (int field = 0; field <= kJournalProcessingDate; ++field) {
        const std::size_t comma = text.find(',', at);
        if (comma == std::string_view::npos) return false;
        fields[field] = text.substr(at, comma - at);
        if (fields[field].find('"') != std::string_view::npos) return false;
        at = comma + 1;
    }
    *key = {fields[kJournalPayerSortCode], fields[kJournalPayerAccountNumber], fields[kJournalProcessingDate]};
    return true;
}

JournalEntry EntryOf(long line, std::vector<std::string>& fields) {
    JournalEntry entry;
    entry.line = line;
    for (int column = 0; column < kJournalColumnCount; ++column) {
        entry.fields[column] = Utf8Text(std::move(fields[column]));
    }
    return entry;
}

}  // namespace

std::vector<JournalEntry> ReadJournalLines(std::string_view bytes,
                                           const std::function<bool(const JournalLineKey&)>& keep) {
    std::vector<JournalEntry> entries;
    CJournalRecords records(bytes);
    JournalRecordText record;
    std::vector<std::string> fields;
    JournalLineKey key;
    while (records.Next(&record)) {
        if (record.line == 1 || !record.ended || record.openQuote) continue;
        const bool keyed = LineKeyOf(record.text, &key);
        if (keyed && !keep(key)) continue;
        if (!JournalLineProblem(record, &fields).empty()) continue;
        if (!keyed && !keep({fields[kJournalPayerSortCode], fields[kJournalPayerAccountNumber],
                             fields[kJournalProcessingDate]})) {
            continue;
        }
        entries.push_back(EntryOf(record.line, fields));
    }
    return entries;
}

JournalReading ReadJournal(std::string_view bytes) {
    JournalReading reading;
    CJournalRecords records(bytes);
    const std::string header = JournalHeaderLine();
    const std::string_view headerText(header.data(), header.size() - 2);
    JournalRecordText record;
    std::vector<std::string> fields;
    while (records.Next(&record)) {
        if (record.line == 1) {
            if (!record.ended) {
                reading.damaged.push_back({record.line, "the line has no line end: it was cut off"});
            } else if (record.text != headerText) {
                reading.damaged.push_back({record.line, "it is not the journal's header"});
            }
            continue;
        }
        std::string problem = JournalLineProblem(record, &fields);
        if (!problem.empty()) {
            reading.damaged.push_back({record.line, std::move(problem)});
            continue;
        }
        reading.entries.push_back(EntryOf(record.line, fields));
    }
    return reading;
}

bool PenceOfAmount(std::string_view amount, std::int64_t* pence) {
    const bool negative = !amount.empty() && amount.front() == '-';
    if (negative) amount.remove_prefix(1);
    if (amount.size() < 4 || amount[amount.size() - 3] != '.') return false;
    constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < amount.size(); ++i) {
        if (i == amount.size() - 3) continue;
        const char c = amount[i];
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (kLimit - digit) / 10) return false;
        value = value * 10 + digit;
    }
    *pence = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
    return true;
}

std::string AmountOfPence(std::int64_t pence) {
    // The magnitude as unsigned, so that the most negative value has one.
    const std::uint64_t magnitude =
        pence < 0 ? 0 - static_cast<std::uint64_t>(pence) : static_cast<std::uint64_t>(pence);
    std::string text = std::to_string(magnitude / 100);
    const auto cents = static_cast<unsigned>(magnitude % 100);
    text += '.';
    text += static_cast<char>('0' + cents / 10);
    text += static_cast<char>('0' + cents % 10);
    return pence < 0 ? "-" + text : text;
}

}  // namespace paylode
