/*
 * A statement line and its parser (see TransactionRecord.h).
 */
#include "statements/TransactionRecord.h"

#include <cstddef>
#include <iterator>

#include "statements/StatementFields.h"

namespace paylode {

namespace {

// The line buffer: 2047 characters of a line, zero-filled behind them.
constexpr std::size_t kLineBufferSize = 2049;
constexpr std::streamsize kMaxLineCharacters = 2047;

constexpr int kMinimumFields = 14;
constexpr int kLongLayoutFields = 18;

// A text column: its position in the long and in the short layout (-1 when
// the short layout has no such column), where the record keeps it and how
// many characters it keeps.
struct TextColumn {
    int longPosition;
    int shortPosition;
    CString CTransactionRecord::*field;
    int kept;
};

const TextColumn kTextColumns[] = {
    {0, 0, &CTransactionRecord::SortCode, 6},
    {1, 1, &CTransactionRecord::AccountNumber, 8},
    {2, 2, &CTransactionRecord::AccountAlias, 35},
    {3, 3, &CTransactionRecord::AccountShortName, 35},
    {4, 4, &CTransactionRecord::Currency, 3},
    {5, 5, &CTransactionRecord::AccountType, 20},
    {6, 6, &CTransactionRecord::BIC, 34},
    {7, 7, &CTransactionRecord::BankName, 35},
    {8, 8, &CTransactionRecord::BranchName, 27},
    {10, 10, &CTransactionRecord::Narrative1, 50},
    {11, -1, &CTransactionRecord::Narrative2, 50},
    {12, -1, &CTransactionRecord::Narrative3, 50},
    {13, -1, &CTransactionRecord::Narrative4, 50},
    {14, -1, &CTransactionRecord::Narrative5, 50},
    {15, 11, &CTransactionRecord::Type, 3},
};

struct Layout {
    int date, debit, credit;
    bool isLong;
    std::size_t columns;  // number of map entries the layout reads
};
constexpr Layout kLongLayout{9, 16, 17, true, 18};
constexpr Layout kShortLayout{9, 12, 13, false, 14};

// Below this an amount counts as absent.
constexpr double kSmallestAmount = 5e-6;

// The raw text of record column `position`, read through the column map.
// A field the line does not have reads as empty.
CString ColumnText(char* line, int position) {
    const char* field = GetField(line, ',', ColumnMap()[static_cast<std::size_t>(position)]);
    return CString(field != nullptr ? field : "");
}

}  // namespace

std::vector<int>& ColumnMap() {
    static std::vector<int> map;
    return map;
}

void CTransactionRecord::Clear() { *this = CTransactionRecord(); }

CString CTransactionRecord::GetNarrative() {
    Narrative = Narrative1;
    for (const CString* next : {&Narrative2, &Narrative3, &Narrative4, &Narrative5}) {
        if (next->IsEmpty()) continue;
        Narrative += " ";
        Narrative += *next;
    }
    return Narrative;
}

std::istream& operator>>(std::istream& in, CTransactionRecord& record) {
    record.Clear();

    char line[kLineBufferSize] = {};
    in.getline(line, kMaxLineCharacters + 1);
    // A line that fills the buffer without ending is refused: its missing
    // end would shift or cut the columns taken from it.
    if (in.fail() && !in.eof() && in.gcount() == kMaxLineCharacters) throw CTransactionRecord::LineTooLong;

    const int fields = CountFields(line, ',');
    if (fields < kMinimumFields) throw CTransactionRecord::TooFewFields;
    const Layout& layout = fields == kLongLayoutFields ? kLongLayout : kShortLayout;
    if (ColumnMap().size() < layout.columns) throw CTransactionRecord::BeyondColumnMap;

    for (const TextColumn& column : kTextColumns) {
        const int position = layout.isLong ? column.longPosition : column.shortPosition;
        if (position < 0) continue;
        CString text = ColumnText(line, position);
        Unquote(text);
        record.*column.field = text.Left(column.kept);
    }

    CString dateText = ColumnText(line, layout.date);
    Unquote(dateText);
    record.DateText = dateText;
    record.Date = ParseDate(dateText);

    // A debit wins: the credit column is read only when there is no debit.
    const double debit = ParseAmount(ColumnText(line, layout.debit));
    if (debit > kSmallestAmount) {
        record.Debit = debit;
        record.DebitFlag = 1;
    } else {
        const double credit = ParseAmount(ColumnText(line, layout.credit));
        if (credit > kSmallestAmount) {
            record.Credit = credit;
            record.DebitFlag = 0;
        }
    }
    return in;
}

}  // namespace paylode
