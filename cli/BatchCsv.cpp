/*
 * Reading a batch of payments from CSV (see BatchCsv.h).
 */
#include "cli/BatchCsv.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "cli/Utf8Decode.h"
#include "common/TextConversion.h"

namespace paylode::cli {
namespace {

struct CsvRecord {
    int line = 0;  // where the record starts
    std::vector<std::string> fields;
};

std::string AtLine(int line, const std::string& what) { return "line " + std::to_string(line) + ": " + what; }

// RFC 4180 records; a line that is entirely empty is skipped. Records end in
// CR LF or LF; a quoted field may hold commas, quotes ("") and line breaks.
bool ParseCsv(const std::string& text, std::vector<CsvRecord>* records, std::string* error) {
    std::size_t pos = 0;
    int line = 1;
    const std::size_t size = text.size();
    while (pos < size) {
        CsvRecord record;
        record.line = line;
        bool blank = true;
        for (;;) {
            std::string field;
            if (pos < size && text[pos] == '"') {
                blank = false;
                const int opened = line;
                ++pos;
                for (;;) {
                    if (pos >= size) {
                        *error = AtLine(opened, "quoted field is not closed");
                        return false;
                    }
                    const char c = text[pos++];
                    if (c == '"') {
                        if (pos < size && text[pos] == '"') {
                            field += '"';
                            ++pos;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n') ++line;
                    field += c;
                }
                if (pos < size && text[pos] != ',' && text[pos] != '\n' &&
                    !(text[pos] == '\r' && pos + 1 < size && text[pos + 1] == '\n')) {
                    *error = AtLine(line, "unexpected character after a closing quote");
                    return false;
                }
            } else {
                while (pos < size && text[pos] != ',' && text[pos] != '\n' && text[pos] != '\r') {
                    if (text[pos] == '"') {
                        *error = AtLine(line, "quote inside an unquoted field");
                        return false;
                    }
                    field += text[pos++];
                }
                if (pos < size && text[pos] == '\r' && (pos + 1 >= size || text[pos + 1] != '\n')) {
                    *error = AtLine(line, "carriage return without a line feed outside quotes");
                    return false;
                }
                if (!field.empty()) blank = false;
            }
            record.fields.push_back(std::move(field));
            if (pos < size && text[pos] == ',') {
                blank = false;
                ++pos;
                continue;
            }
            if (pos < size && text[pos] == '\r') ++pos;
            if (pos < size && text[pos] == '\n') {
                ++pos;
                ++line;
            }
            break;
        }
        if (!blank) records->push_back(std::move(record));
    }
    return true;
}

enum class Column { kAmount, kPayerSortCode, kPayerAccountNumber, kPayeeBACSReference, kPayeeSortCode,
                    kPayeeAccountNumber, kPayeeAccountName, kPayeeRollNumber, kDetails, kStatus };

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

bool ReadAmount(const std::string& text, double* amount) {
    if (text.empty()) {
        *amount = 0;
        return true;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) return false;
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

}  // namespace

bool AnsiFromUtf8(const std::string& text, std::string* ansi) {
    std::u16string wide;
    if (!Utf16FromUtf8(text, &wide)) return false;
    *ansi = AnsiFromWide(wide.c_str(), static_cast<int>(wide.size()));
    return true;
}

bool ReadPaymentBatch(const std::string& bytes, std::vector<CPaymentValues>* payments, std::string* error) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string text = bytes.compare(0, bom.size(), bom) == 0 ? bytes.substr(bom.size()) : bytes;
    std::vector<CsvRecord> records;
    if (!ParseCsv(text, &records, error)) return false;
    if (records.empty()) {
        *error = AtLine(1, "no header row naming the columns");
        return false;
    }

    std::vector<Column> columns;
    for (const std::string& name : records[0].fields) {
        const auto found = ColumnNames().find(name);
        if (found == ColumnNames().end()) {
            *error = AtLine(records[0].line, "unknown column \"" + name + "\"");
            return false;
        }
        for (Column seen : columns) {
            if (seen == found->second) {
                *error = AtLine(records[0].line, "column \"" + name + "\" named twice");
                return false;
            }
        }
        columns.push_back(found->second);
    }

    payments->clear();
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (record.fields.size() != columns.size()) {
            *error = AtLine(record.line, std::to_string(record.fields.size()) + " fields where the header names " +
                                             std::to_string(columns.size()));
            return false;
        }
        CPaymentValues payment;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const std::string& value = record.fields[c];
            if (columns[c] == Column::kAmount) {
                if (!ReadAmount(value, &payment.amount)) {
                    *error = AtLine(record.line, "amount \"" + value + "\" is not a number");
                    return false;
                }
                continue;
            }
            if (columns[c] == Column::kStatus) {
                if (!ReadStatus(value, &payment.status)) {
                    *error = AtLine(record.line, "status \"" + value + "\" is not a whole number");
                    return false;
                }
                continue;
            }
            std::string ansi;
            if (!AnsiFromUtf8(value, &ansi)) {
                *error = AtLine(record.line, "text that is not UTF-8");
                return false;
            }
            // An embedded NUL ends the text, as it does in the component.
            const char* held = ansi.c_str();
            switch (columns[c]) {
            case Column::kPayerSortCode: payment.payerSortCode = held; break;
            case Column::kPayerAccountNumber: payment.payerAccountNumber = held; break;
            case Column::kPayeeBACSReference: payment.payeeBACSReference = held; break;
            case Column::kPayeeSortCode: payment.payeeSortCode = held; break;
            case Column::kPayeeAccountNumber: payment.payeeAccountNumber = held; break;
            case Column::kPayeeAccountName: payment.payeeAccountName = held; break;
            case Column::kPayeeRollNumber: payment.payeeRollNumber = held; break;
            case Column::kDetails: payment.details = held; break;
            default: break;
            }
        }
        payments->push_back(std::move(payment));
    }
    return true;
}

}  // namespace paylode::cli
