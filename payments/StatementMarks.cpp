/*
 * The payments seen on the statement; see StatementMarks.h.
 */
#include "payments/StatementMarks.h"

#include <cstdlib>

#include "payments/Journal.h"

namespace paylode {

namespace {

constexpr const char* const kColumns[kStatementMarkFieldCount] = {
    "run", "row", "amount", "statement_date", "statement_line", "statement_file", "imported", "crc32",
};

enum MarkColumn { kMarkRun, kMarkRow, kMarkAmount, kMarkStatementDate };

}  // namespace

std::string StatementMarksFileName(int year) { return "PaylodeOnStatement-" + std::to_string(year) + ".csv"; }

std::string StatementMarksHeaderLine() {
    std::string line;
    for (std::size_t column = 0; column < kStatementMarkFieldCount; ++column) {
        if (column > 0) line += ',';
        line += kColumns[column];
    }
    return line + "\r\n";
}

std::string StatementMarksAppendText(std::string_view fileEnd, const Reconciliation& reconciliation,
                                     const CStatementMarks& known, const std::string& statementFile,
                                     const DateFields& imported) {
    std::string lines;
    for (const ReconcileItem& item : reconciliation.items) {
        if (item.statementLine == 0 || known.Holds(item.run, item.row)) continue;
        std::string line;
        AppendAnsiField(&line, item.run);
        line += ',';
        if (item.row != 0) line += std::to_string(item.row);
        line += ',' + AmountOfPence(item.pence) + ',' + FormatIsoDate(item.statementDate) + ',' +
                std::to_string(item.statementLine) + ',';
        AppendAnsiField(&line, statementFile);
        line += ',' + JournalTimeText(imported);
        SealCheckedLine(&line);
        lines += line;
    }
    return lines.empty() ? std::string() : CheckedFileAppendText(fileEnd, StatementMarksHeaderLine(), lines);
}

void CStatementMarks::Read(std::string_view bytes) {
    CJournalRecords records(bytes);
    JournalRecordText record;
    std::vector<std::string> fields;
    while (records.Next(&record)) {
        if (record.line == 1) continue;  // the header
        if (!CheckedLineProblem(record, kStatementMarkFieldCount, "a line of statement marks", &fields).empty()) {
            continue;
        }
        const long row = fields[kMarkRow].empty() ? 0 : std::atol(fields[kMarkRow].c_str());
        std::string& day = days_[{fields[kMarkRun], row}];
        if (day.empty() || fields[kMarkStatementDate] < day) day = fields[kMarkStatementDate];
    }
}

std::string CStatementMarks::SeenOn(const std::string& run, long row) const {
    auto found = days_.find({run, row});
    if (found == days_.end()) found = days_.find({run, 0});
    return found != days_.end() ? found->second : std::string();
}

}  // namespace paylode
