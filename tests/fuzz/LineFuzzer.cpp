/*
 * Fuzz target: the statement line parser. The first byte chooses the column
 * map the lines are read against (from a 14- or 18-field header, a map too
 * short for any line, or none); the rest is read line by line as a statement
 * file's body, and every line is also taken apart field by field. Each line
 * must read exactly as it does through the field functions one column at a
 * time.
 */
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "statements/StatementFields.h"
#include "statements/StatementTransaction.h"
#include "fuzz/FuzzChecks.h"
#include "fuzz/ReferenceLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace paylode;
    if (size == 0) return 0;
    static const int kMapSizes[] = {14, 18, 5, 0};
    ColumnMap map;
    for (int field = 1; field <= kMapSizes[data[0] % 4]; ++field) map.push_back(field);

    const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::istringstream in(body);
    CTransactionRecord record;
    for (int line = 0; line < 64 && in; ++line) {
        if (ReadTransactionLine(in, record, map) != CTransactionRecord::NoError) continue;
        fuzz::CheckRecord(record);
        StatementAccount account;
        account.SetSortCode(record.SortCode);
        account.SetAccountNumber(record.AccountNumber);
        fuzz::Check(account.AccountSortCode.GetLength() <= 6, "sort code digits");
        const StatementTransaction transaction = TransactionFromRecord(record, line + 1);
        fuzz::Check(transaction.Amount >= 0 && (transaction.Type == 0) == (record.DebitFlag == 1), "transaction");
    }

    // Each line of the body alone, against the plain reading.
    std::size_t start = 0;
    for (int line = 0; line < 64 && start <= body.size(); ++line) {
        std::size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        const std::string text = body.substr(start, end - start);
        start = end + 1;
        if (text.size() > 2047) continue;
        std::istringstream one(text + "\n");
        CTransactionRecord parsed;
        const CTransactionRecord::ErrorCode code = ReadTransactionLine(one, parsed, map);
        CTransactionRecord plain;
        fuzz::Check(code == fuzz::ReadLineThePlainWay(text, map, plain), "the same verdict as the plain reading");
        if (code == CTransactionRecord::NoError) fuzz::Check(fuzz::SameRecord(parsed, plain), "the same record");
    }

    // Field by field, on a line buffer of the reader's size.
    std::vector<char> line(body.begin(),
                           body.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(body.size(), 2047)));
    line.push_back('\0');
    const int fields = CountFields(line.data(), ',');
    for (int number = 0; number <= fields + 1 && number <= 40; ++number) {
        const char* field = fuzz::GetField(line.data(), ',', number);
        if (field != nullptr) fuzz::Check(std::string(field).size() < fuzz::kFieldBufferSize, "field fits its buffer");
        if (number >= 1 && number <= fields && fields > 1) fuzz::Check(field != nullptr, "a counted field exists");
    }
    return 0;
}
