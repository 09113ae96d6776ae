/*
 * The statement import's line loop and its report of lines lost (see
 * StatementImport.h).
 */
#include "statements/StatementImport.h"

#include <string>
#include <utility>

#include "common/DebugOutput.h"
#include "common/FileSystem.h"

namespace paylode {

CString StatementReading::LostLinesText() const {
    const std::string text = std::to_string(linesNotRead) + (linesNotRead == 1 ? " readable line" : " readable lines") +
                             " after line " + std::to_string(linesRead) + " not read";
    return CString(text.c_str());
}

StatementReading ReadStatementRecords(CQVTTransactionFile& reader,
                                      const std::function<void(CTransactionRecord&)>& deliver) {
    StatementReading reading;
    reading.headerFields = reader.ColumnCount;
    CTransactionRecord record;
    int linesBefore = reader.GetLinesRead();
    while (reader.ReadRecord(record)) {
        ++reading.records;
        linesBefore = reader.GetLinesRead();
        deliver(record);
    }
    reading.linesRead = reader.GetLinesRead();
    reading.stop = reader.GetLastError();
    reading.stopFields = record.FieldCount;
    reading.atEnd = reading.linesRead == linesBefore;
    if (reading.stop == CTransactionRecord::FileNotOpen || reading.atEnd) return reading;

    reading.linesNotRead = reader.CountReadableLinesLeft();
    if (reading.LostLines()) {
        const CString text = CString("Statement file: ") + reading.LostLinesText() + "\n";
        WriteDebugOutput(text);
    }
    return reading;
}

std::string UnreadableLineText(const StatementReading& reading, const char* path) {
    if (!reading.Refused()) return std::string();
    std::string why;
    switch (reading.stop) {
    case CTransactionRecord::TooFewFields:
        why = reading.stopFields == 0 ? "it is empty; a statement line has at least 14 fields"
                                      : "it has " + std::to_string(reading.stopFields) +
                                            (reading.stopFields == 1 ? " field" : " fields") +
                                            "; a statement line has at least 14";
        break;
    case CTransactionRecord::LineTooLong: why = "it is longer than 2047 characters"; break;
    case CTransactionRecord::HoldsNul: why = "it holds a NUL character"; break;
    case CTransactionRecord::BeyondColumnMap:
        why = "it has 18 fields but the header only " + std::to_string(reading.headerFields);
        break;
    default: why = "it could not be handled as text"; break;
    }
    return "Line " + std::to_string(reading.linesRead) + " of " + path + " cannot be read: " + why + ".";
}

CheckedStatement CheckStatementFile(const char* path, CKeptTransactions keep) {
    CheckedStatement checked;
    checked.kept = std::move(keep);
    // Reading a pipe or a device can wait for ever, on the host's window thread.
    if (CurrentFileSystem().IsDevice(path)) {
        checked.problem = std::string(path) + " is a device or a pipe, not a statement file.";
        return checked;
    }
    CQVTTransactionFile reader(path, std::ios_base::in | std::ios_base::binary);
    if (!reader.IsOpen()) {
        checked.problem = std::string(path) + " cannot be opened.";
        return checked;
    }
    if (!reader.BuildColumnMap()) {
        checked.problem = std::string(path) + " is not a statement file: its header has " +
                          std::to_string(reader.ColumnCount) + (reader.ColumnCount == 1 ? " field" : " fields") +
                          "; a statement's header has 14 or 18.";
        return checked;
    }
    reader.KeepTexts(RecordTexts::ForTransactions);
    CKeptTransactions& kept = checked.kept;
    checked.reading =
        ReadStatementRecords(reader, [&](CTransactionRecord& record) { kept.Keep(record, reader.GetLinesRead()); });
    checked.problem = UnreadableLineText(checked.reading, path);
    return checked;
}

std::string StatementFileProblem(const char* path) { return CheckStatementFile(path, CKeptTransactions()).problem; }

StatementDelivery DeliverStatementTransactions(const char* path, const CheckedStatement& checked,
                                               const StatementAccount& account,
                                               const std::function<void(const StatementTransaction&, int line)>& add) {
    StatementDelivery delivery;
    if (checked.kept.HoldsAll(account)) {
        delivery.reading = checked.reading;
        delivery.reading.transactions = checked.kept.Deliver(account, add);
        // Where a second reading would have stopped, at the same line.
        CQVTTransactionFile::ReportUnreadRecord();
        return delivery;
    }
    CQVTTransactionFile reader(path, std::ios_base::in | std::ios_base::binary);
    if (!reader.BuildColumnMap()) {
        delivery.refused = true;
        delivery.problem = StatementFileProblem(path);
        return delivery;
    }
    delivery.reading = ImportStatementRecords(
        reader, account, [&](const StatementTransaction& transaction) { add(transaction, reader.GetLinesRead()); });
    delivery.refused = delivery.reading.Refused();
    delivery.problem = UnreadableLineText(delivery.reading, path);
    return delivery;
}

StatementReading ImportStatementRecords(CQVTTransactionFile& reader, const StatementAccount& account,
                                        const std::function<void(const StatementTransaction&)>& add) {
    std::int32_t sequence = 0;
    reader.KeepTexts(RecordTexts::ForTransactions);
    StatementReading reading = ReadStatementRecords(reader, [&](CTransactionRecord& record) {
        if (!account.Matches(record)) return;
        add(TransactionFromRecord(record, ++sequence));
    });
    reading.transactions = sequence;
    return reading;
}

}  // namespace paylode
