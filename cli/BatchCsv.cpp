/*
 * Reading a batch of payments from CSV, and writing a statuses line (see
 * BatchCsv.h).
 */
#include "cli/BatchCsv.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include <csv.h>

#include "common/CsvField.h"
#include "common/NumberText.h"

namespace paylode::cli {
namespace {

struct CsvRecord {
    int line = 0;  // where the record starts
    std::vector<std::string> fields;
};

std::string AtLine(int line, const std::string& what) { return "line " + std::to_string(line) + ": " + what; }

// The CSV reading: libcsv takes the file apart (strict: a quote inside an
// unquoted field, or anything but a separator or a line end after a closing
// quote, is an error; every line end is reported, so that empty lines are
// seen), and this follows it byte by byte for the line numbers of records
// and errors.
struct CsvReading {
    std::vector<CsvRecord>* records = nullptr;
    CsvRecord record;        // the record being read
    int line = 1;            // of the byte being read
    int fieldLine = 1;       // where the field being read began
    bool fieldEnded = true;  // the next byte begins a field
    int recordEnd = 0;       // the character that ended a record at this byte, or 0
};

void FieldRead(void* text, std::size_t length, void* data) {
    CsvReading& reading = *static_cast<CsvReading*>(data);
    if (reading.record.fields.empty()) reading.record.line = reading.fieldLine;
    reading.record.fields.emplace_back(static_cast<const char*>(text), length);
    reading.fieldEnded = true;
}

// A line that holds no field at all (not even "") is no record.
void RecordRead(int end, void* data) {
    CsvReading& reading = *static_cast<CsvReading*>(data);
    if (!reading.record.fields.empty()) reading.records->push_back(std::move(reading.record));
    reading.record = CsvRecord();
    reading.fieldEnded = true;
    reading.recordEnd = end;
}

int NoSpaceCharacters(unsigned char) { return 0; }  // spaces are text

// RFC 4180 records; a line that is entirely empty is skipped. Records end in
// CR LF or LF; a quoted field may hold commas, quotes ("") and line breaks.
bool ParseCsv(const std::string& text, std::vector<CsvRecord>* records, std::string* error) {
    csv_parser parser{};
    if (csv_init(&parser, CSV_STRICT | CSV_REPALL_NL | CSV_STRICT_FINI) != 0) {
        *error = "cannot start the CSV reader";
        return false;
    }
    std::unique_ptr<csv_parser, void (*)(csv_parser*)> owner(&parser, csv_free);
    csv_set_space_func(&parser, NoSpaceCharacters);
    CsvReading reading;
    reading.records = records;
    const std::size_t size = text.size();
    for (std::size_t pos = 0; pos < size; ++pos) {
        const char c = text[pos];
        if (reading.fieldEnded) {
            reading.fieldLine = reading.line;
            reading.fieldEnded = false;
        }
        reading.recordEnd = 0;
        if (csv_parse(&parser, &c, 1, FieldRead, RecordRead, &reading) != 1) {
            *error = AtLine(reading.line,
                            c == '"' ? "quote inside an unquoted field" : "unexpected character after a closing quote");
            return false;
        }
        // A record ends at a carriage return only when a line feed follows.
        if (reading.recordEnd == '\r' && (pos + 1 >= size || text[pos + 1] != '\n')) {
            *error = AtLine(reading.line, pos > 0 && text[pos - 1] == '"'
                                              ? "unexpected character after a closing quote"
                                              : "carriage return without a line feed outside quotes");
            return false;
        }
        if (c == '\n') ++reading.line;
    }
    if (csv_fini(&parser, FieldRead, RecordRead, &reading) != 0) {
        *error = AtLine(reading.fieldLine, "quoted field is not closed");
        return false;
    }
    return true;
}

enum class Column {
    kAmount,
    kPayerSortCode,
    kPayerAccountNumber,
    kPayeeBACSReference,
    kPayeeSortCode,
    kPayeeAccountNumber,
    kPayeeAccountName,
    kPayeeRollNumber,
    kDetails,
    kStatus
};

const std::map<std::string, Column>& ColumnNames() {
    static const std::map<std::string, Column> names{
        {"amount", Column::kAmount},
        {"payer_sort_code", Column::kPayerSortCode},
        {"payer_account_number", Column::kPayerAccountNumber},
        {"payee_bacs_reference", Column::kPayeeBACSReference},
        {"payee_sort_code", Column::kPayeeSortCode},
        {"payee_account_number", Column::kPayeeAccountNumber},
        {"payee_account_name", Column::kPayeeAccountName},
        {"payee_roll_number", Column::kPayeeRollNumber},
        {"details", Column::kDetails},
        {"status", Column::kStatus},
    };
    return names;
}

// Where a text column's value goes; null for amount and status.
WideString BatchPayment::*TextOf(Column column) {
    switch (column) {
    case Column::kPayerSortCode: return &BatchPayment::payerSortCode;
    case Column::kPayerAccountNumber: return &BatchPayment::payerAccountNumber;
    case Column::kPayeeBACSReference: return &BatchPayment::payeeBACSReference;
    case Column::kPayeeSortCode: return &BatchPayment::payeeSortCode;
    case Column::kPayeeAccountNumber: return &BatchPayment::payeeAccountNumber;
    case Column::kPayeeAccountName: return &BatchPayment::payeeAccountName;
    case Column::kPayeeRollNumber: return &BatchPayment::payeeRollNumber;
    case Column::kDetails: return &BatchPayment::details;
    default: return nullptr;
    }
}

bool ReadAmount(const std::string& text, double* amount) {
    if (text.empty()) {
        *amount = 0;
        return true;
    }
    double value = 0.0;
    if (ReadNumber(text, &value) != text.size()) return false;
    *amount = value;
    return true;
}

bool ReadStatus(const std::string& text, long* status) {
    if (text.empty()) {
        *status = 0;
        return true;
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + text.size() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return false;
    *status = value;
    return true;
}

// The columns the header row names, each known and named once.
bool ReadColumns(const CsvRecord& header, std::vector<Column>* columns, std::string* error) {
    for (const std::string& name : header.fields) {
        const auto found = ColumnNames().find(name);
        if (found == ColumnNames().end()) {
            *error = AtLine(header.line, "unknown column \"" + name + "\"");
            return false;
        }
        if (std::find(columns->begin(), columns->end(), found->second) != columns->end()) {
            *error = AtLine(header.line, "column \"" + name + "\" named twice");
            return false;
        }
        columns->push_back(found->second);
    }
    return true;
}

// One payment row, its fields in the header's columns.
bool ReadPaymentRow(const CsvRecord& record, const std::vector<Column>& columns, BatchPayment* payment,
                    std::string* error) {
    if (record.fields.size() != columns.size()) {
        *error = AtLine(record.line, std::to_string(record.fields.size()) + " fields where the header names " +
                                         std::to_string(columns.size()));
        return false;
    }
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const std::string& value = record.fields[c];
        if (columns[c] == Column::kAmount) {
            if (!ReadAmount(value, &payment->amount)) {
                *error = AtLine(record.line, "amount \"" + value + "\" is not a number");
                return false;
            }
            continue;
        }
        if (columns[c] == Column::kStatus) {
            if (!ReadStatus(value, &payment->status)) {
                *error = AtLine(record.line, "status \"" + value + "\" is not a whole number");
                return false;
            }
            continue;
        }
        if (!IsUtf8(value)) {
            *error = AtLine(record.line, "text that is not UTF-8");
            return false;
        }
        WideString& held = payment->*TextOf(columns[c]);
        held = WideFromUtf8(Utf8Text(value));
        // An embedded NUL ends the text, as it does in the component.
        held.erase(std::find(held.begin(), held.end(), WideChar()), held.end());
    }
    return true;
}

}  // namespace

bool ReadBatchPayments(const std::string& bytes, std::vector<BatchPayment>* payments, std::string* error) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string text = bytes.compare(0, bom.size(), bom) == 0 ? bytes.substr(bom.size()) : bytes;
    std::vector<CsvRecord> records;
    if (!ParseCsv(text, &records, error)) return false;
    if (records.empty()) {
        *error = AtLine(1, "no header row naming the columns");
        return false;
    }
    std::vector<Column> columns;
    if (!ReadColumns(records[0], &columns, error)) return false;
    std::vector<BatchPayment> read(records.size() - 1);
    for (std::size_t r = 1; r < records.size(); ++r) {
        if (!ReadPaymentRow(records[r], columns, &read[r - 1], error)) return false;
    }
    *payments = std::move(read);
    return true;
}

bool ReadPaymentBatch(const std::string& bytes, std::vector<CPaymentValues>* payments, std::string* error) {
    std::vector<BatchPayment> read;
    if (!ReadBatchPayments(bytes, &read, error)) return false;
    std::vector<CPaymentValues> converted(read.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        const BatchPayment& from = read[i];
        CPaymentValues& to = converted[i];
        to.amount = from.amount;
        to.status = from.status;
        to.payerSortCode = AnsiFromWide(from.payerSortCode.c_str()).c_str();
        to.payerAccountNumber = AnsiFromWide(from.payerAccountNumber.c_str()).c_str();
        to.payeeBACSReference = AnsiFromWide(from.payeeBACSReference.c_str()).c_str();
        to.payeeSortCode = AnsiFromWide(from.payeeSortCode.c_str()).c_str();
        to.payeeAccountNumber = AnsiFromWide(from.payeeAccountNumber.c_str()).c_str();
        to.payeeAccountName = AnsiFromWide(from.payeeAccountName.c_str()).c_str();
        to.payeeRollNumber = AnsiFromWide(from.payeeRollNumber.c_str()).c_str();
        to.details = AnsiFromWide(from.details.c_str()).c_str();
    }
    *payments = std::move(converted);
    return true;
}

void WriteStatusLine(std::FILE* file, std::size_t index, long code, const char* text) {
    if (text == nullptr) text = "";
    std::string line = std::to_string(index) + "," + std::to_string(code) + ",";
    AppendCsvField(&line, text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file);
}

}  // namespace paylode::cli
