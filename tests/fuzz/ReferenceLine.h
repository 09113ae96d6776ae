/*
 * A statement line read the plain way: every column through GetField on the
 * line buffer, then Unquoted, ParseAmount and ParseDate, in the parser's
 * order. The reader's parser walks the line only once; it must deliver
 * exactly what this reading does, for every line, so the line fuzzer and the
 * reader's tests compare the two.
 */
#pragma once

#include <cstring>
#include <string>

#include "statements/StatementValues.h"
#include "statements/TransactionRecord.h"
#include "fuzz/ReferenceFields.h"

namespace paylode::fuzz {

// Reads `line` (one line without its line feed, at most 2047 characters)
// into `record` through the column map `columns`; the error code the parser
// throws, or NoError.
inline CTransactionRecord::ErrorCode ReadLineThePlainWay(const std::string& text, const ColumnMap& columns,
                                                         CTransactionRecord& record) {
    struct Column {
        int longPosition, shortPosition;
        CString CTransactionRecord::*field;
        int kept;
    };
    // clang-format off
    static const Column kColumns[] = {
        {0, 0, &CTransactionRecord::SortCode, 6},        {1, 1, &CTransactionRecord::AccountNumber, 8},
        {2, 2, &CTransactionRecord::AccountAlias, 35},   {3, 3, &CTransactionRecord::AccountShortName, 35},
        {4, 4, &CTransactionRecord::Currency, 3},        {5, 5, &CTransactionRecord::AccountType, 20},
        {6, 6, &CTransactionRecord::BIC, 34},            {7, 7, &CTransactionRecord::BankName, 35},
        {8, 8, &CTransactionRecord::BranchName, 27},     {10, 10, &CTransactionRecord::Narrative1, 50},
        {11, -1, &CTransactionRecord::Narrative2, 50},   {12, -1, &CTransactionRecord::Narrative3, 50},
        {13, -1, &CTransactionRecord::Narrative4, 50},   {14, -1, &CTransactionRecord::Narrative5, 50},
        {15, 11, &CTransactionRecord::Type, 3},
    };
    // clang-format on
    record = CTransactionRecord();
    char line[2049] = {};
    const std::size_t length = text.size() < 2047 ? text.size() : 2047;
    std::memcpy(line, text.data(), length);
    if (std::memchr(line, '\0', length) != nullptr) return CTransactionRecord::HoldsNul;
    const int fields = CountFields(line, ',');
    if (fields < 14) return CTransactionRecord::TooFewFields;
    const bool isLong = fields == 18;
    if (columns.size() < (isLong ? 18u : 14u)) return CTransactionRecord::BeyondColumnMap;
    auto columnText = [&line, &columns](int position) {
        const char* field = GetField(line, ',', columns[static_cast<std::size_t>(position)]);
        return std::string(field != nullptr ? field : "");
    };
    auto unquoted = [](const std::string& text) { return CString(std::string(Unquoted(text)).c_str()); };
    for (const Column& column : kColumns) {
        const int position = isLong ? column.longPosition : column.shortPosition;
        if (position < 0) continue;
        record.*column.field = unquoted(columnText(position)).Left(column.kept);
    }
    record.DateText = unquoted(columnText(9));
    record.Date = ParseDate(record.DateText.GetString());
    const double debit = ParseAmount(columnText(isLong ? 16 : 12));
    if (debit > 5e-6) {
        record.Debit = debit;
        record.DebitFlag = 1;
    } else {
        const double credit = ParseAmount(columnText(isLong ? 17 : 13));
        if (credit > 5e-6) record.Credit = credit;
    }
    return CTransactionRecord::NoError;
}

// Whether two records hold the same values, to the bit.
inline bool SameRecord(CTransactionRecord& a, CTransactionRecord& b) {
    for (CString CTransactionRecord::*text :
         {&CTransactionRecord::SortCode, &CTransactionRecord::AccountNumber, &CTransactionRecord::AccountAlias,
          &CTransactionRecord::AccountShortName, &CTransactionRecord::Currency, &CTransactionRecord::AccountType,
          &CTransactionRecord::BIC, &CTransactionRecord::BankName, &CTransactionRecord::BranchName,
          &CTransactionRecord::DateText, &CTransactionRecord::Narrative1, &CTransactionRecord::Narrative2,
          &CTransactionRecord::Narrative3, &CTransactionRecord::Narrative4, &CTransactionRecord::Narrative5,
          &CTransactionRecord::Type}) {
        if (a.*text != b.*text) return false;
    }
    return a.GetNarrative() == b.GetNarrative() && std::memcmp(&a.Debit, &b.Debit, sizeof a.Debit) == 0 &&
           std::memcmp(&a.Credit, &b.Credit, sizeof a.Credit) == 0 && a.DebitFlag == b.DebitFlag &&
           std::memcmp(&a.Date, &b.Date, sizeof a.Date) == 0;
}

}  // namespace paylode::fuzz
