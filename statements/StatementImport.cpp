/*
 * The statement import's line loop and its report of lines lost (see
 * StatementImport.h).
 */
#include "statements/StatementImport.h"

#include <string>

#include "common/DebugOutput.h"

namespace paylode {

CString StatementReading::LostLinesText() const {
    const std::string text = std::to_string(linesNotRead) + (linesNotRead == 1 ? " readable line" : " readable lines") +
                             " after line " + std::to_string(linesRead) + " not read";
    return CString(text.c_str());
}

StatementReading ReadStatementRecords(CQVTTransactionFile& reader,
                                      const std::function<void(CTransactionRecord&)>& deliver) {
    StatementReading reading;
    CTransactionRecord record;
    int linesBefore = reader.GetLinesRead();
    while (reader.ReadRecord(record)) {
        ++reading.records;
        linesBefore = reader.GetLinesRead();
        deliver(record);
    }
    reading.linesRead = reader.GetLinesRead();
    reading.stop = reader.GetLastError();
    reading.atEnd = reading.linesRead == linesBefore;
    if (reading.stop == CTransactionRecord::FileNotOpen || reading.atEnd) return reading;

    reading.linesNotRead = reader.CountReadableLinesLeft();
    if (reading.LostLines()) {
        const CString text = CString("Statement file: ") + reading.LostLinesText() + "\n";
        WriteDebugOutput(text);
    }
    return reading;
}

StatementReading ImportStatementRecords(CQVTTransactionFile& reader, const StatementAccount& account,
                                        const std::function<void(const StatementTransaction&)>& add) {
    std::int32_t sequence = 0;
    StatementReading reading = ReadStatementRecords(reader, [&](CTransactionRecord& record) {
        if (!account.Matches(record)) return;
        add(TransactionFromRecord(record, ++sequence));
    });
    reading.transactions = sequence;
    return reading;
}

}  // namespace paylode
