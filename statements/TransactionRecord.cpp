/*
 * A statement line and its parser (see TransactionRecord.h).
 */
#include "statements/TransactionRecord.h"

#include <cstddef>
#include <cstring>
#include <iterator>

#include "statements/StatementFields.h"
#include "statements/StatementValues.h"

namespace paylode {

namespace {

// The line buffer: 2047 characters of a line, zero-filled behind them.
constexpr std::size_t kLineBufferSize = 2049;
constexpr std::streamsize kMaxLineCharacters = 2047;

constexpr int kMinimumFields = 14;
constexpr int kLongLayoutFields = 18;

// A text column: its position in the long and in the short layout (-1 when
// the short layout has no such column), where the record keeps it, how many
// characters it keeps, and whether a transaction's reading needs it.
struct TextColumn {
    int longPosition;
    int shortPosition;
    CString CTransactionRecord::*field;
    int kept;
    bool forTransactions;
};

// clang-format off
const TextColumn kTextColumns[] = {
    {0, 0, &CTransactionRecord::SortCode, 6, true},
    {1, 1, &CTransactionRecord::AccountNumber, 8, true},
    {2, 2, &CTransactionRecord::AccountAlias, 35, false},
    {3, 3, &CTransactionRecord::AccountShortName, 35, false},
    {4, 4, &CTransactionRecord::Currency, 3, false},
    {5, 5, &CTransactionRecord::AccountType, 20, false},
    {6, 6, &CTransactionRecord::BIC, 34, false},
    {7, 7, &CTransactionRecord::BankName, 35, false},
    {8, 8, &CTransactionRecord::BranchName, 27, false},
    {10, 10, &CTransactionRecord::Narrative1, 50, true},
    {11, -1, &CTransactionRecord::Narrative2, 50, true},
    {12, -1, &CTransactionRecord::Narrative3, 50, true},
    {13, -1, &CTransactionRecord::Narrative4, 50, true},
    {14, -1, &CTransactionRecord::Narrative5, 50, true},
    {15, 11, &CTransactionRecord::Type, 3, true},
};
// clang-format on

struct Layout {
    int date, debit, credit;
    bool isLong;
    std::size_t columns;  // number of map entries the layout reads
};
constexpr Layout kLongLayout{9, 16, 17, true, 18};
constexpr Layout kShortLayout{9, 12, 13, false, 14};

// Below this an amount counts as absent.
constexpr double kSmallestAmount = 5e-6;

// The raw text of record column `position`, read through the column map and
// held to kMaxFieldLength. A field the line does not have reads as empty.
FieldText ColumnText(CLineFields& fields, const ColumnMap& columns, int position) {
    const FieldText field = fields.Field(columns[static_cast<std::size_t>(position)]);
    if (field.data() == nullptr) return FieldText("");
    return field.substr(0, kMaxFieldLength);
}

// Stores the first `kept` characters of `field` into `target`, whose buffer
// is reused when it is large enough.
void Keep(CString& target, FieldText field, std::size_t kept) {
    target.SetString(field.data(), static_cast<int>(field.size() < kept ? field.size() : kept));
}

// The date of `text`: the line before's when its date text was the same.
double DateOfText(CTransactionRecord::ReadDate& last, FieldText text) {
    if (!text.empty() && text.size() == last.length && std::memcmp(text.data(), last.text, text.size()) == 0) {
        return last.date;
    }
    const double date = ParseDate(text);
    if (text.size() <= sizeof last.text) {
        std::memcpy(last.text, text.data(), text.size());
        last.length = text.size();
        last.date = date;
    }
    return date;
}

}  // namespace

void CTransactionRecord::Clear() {
    // Each text is emptied in place, so that a record reused line after line
    // keeps its buffers.
    for (CString* text :
         {&SortCode, &AccountNumber, &AccountAlias, &AccountShortName, &Currency, &AccountType, &BIC, &BankName,
          &BranchName, &DateText, &Narrative, &Narrative1, &Narrative2, &Narrative3, &Narrative4, &Narrative5, &Type}) {
        text->Empty();
    }
    Debit = 0.0;
    Credit = 0.0;
    DebitFlag = 0;
    Date = 0.0;
    FieldCount = 0;
}

CString CTransactionRecord::GetNarrative() {
    Narrative = Narrative1;
    for (const CString* next : {&Narrative2, &Narrative3, &Narrative4, &Narrative5}) {
        if (next->IsEmpty()) continue;
        Narrative += " ";
        Narrative += *next;
    }
    return Narrative;
}

CTransactionRecord::ErrorCode ReadTransactionLine(std::istream& in, CTransactionRecord& record,
                                                  const ColumnMap& columns, RecordTexts texts) {
    record.Clear();

    char line[kLineBufferSize];
    line[0] = '\0';
    in.getline(line, kMaxLineCharacters + 1);
    // A line that fills the buffer without ending is refused: its missing
    // end would shift or cut the columns taken from it.
    if (in.fail() && !in.eof() && in.gcount() == kMaxLineCharacters) return CTransactionRecord::LineTooLong;
    // The stream keeps a NUL inside a line, but the line is split as text,
    // which would end at the NUL and read another line than the file holds.
    const std::streamsize stored = in.eof() || in.fail() ? in.gcount() : in.gcount() - 1;
    const std::size_t length = std::strlen(line);
    if (static_cast<std::streamsize>(length) < stored) return CTransactionRecord::HoldsNul;

    // The line is walked once; its fields are then taken from where they lie.
    CLineFields lineFields(line, length, ',');
    const int fields = lineFields.Count();
    const bool empty = line[0] == '\0' || (line[0] == '\r' && line[1] == '\0');
    record.FieldCount = empty ? 0 : fields;
    if (fields < kMinimumFields) return CTransactionRecord::TooFewFields;
    const Layout& layout = fields == kLongLayoutFields ? kLongLayout : kShortLayout;
    if (columns.size() < layout.columns) return CTransactionRecord::BeyondColumnMap;

    const bool all = texts == RecordTexts::All;
    for (const TextColumn& column : kTextColumns) {
        const int position = layout.isLong ? column.longPosition : column.shortPosition;
        if (position < 0 || !(all || column.forTransactions)) continue;
        Keep(record.*column.field, Unquoted(ColumnText(lineFields, columns, position)),
             static_cast<std::size_t>(column.kept));
    }

    const FieldText dateText = Unquoted(ColumnText(lineFields, columns, layout.date));
    if (all) Keep(record.DateText, dateText, kMaxFieldLength);
    record.Date = DateOfText(record.LastDate, dateText);

    // A debit wins: the credit column is read only when there is no debit.
    const FieldText debitText = ColumnText(lineFields, columns, layout.debit);
    const double debit = ParseAmount(debitText);
    if (debit > kSmallestAmount) {
        record.Debit = debit;
        record.DebitFlag = 1;
    } else {
        const FieldText creditText = ColumnText(lineFields, columns, layout.credit);
        const double credit = ParseAmount(creditText);
        if (credit > kSmallestAmount) {
            record.Credit = credit;
            record.DebitFlag = 0;
        }
    }
    return CTransactionRecord::NoError;
}

}  // namespace paylode
