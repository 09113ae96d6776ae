/*
 * The fields of a statement line: counting the comma-separated fields,
 * finding each one where it lies in the line, and taking off the pair of
 * double quotes around one.
 *
 * Fields are quote-aware: a double quote toggles a quoted stretch in which
 * the separator does not separate. Quotes are never unescaped. The values
 * the fields hold (amounts, dates) are read in StatementValues.h.
 */
#pragma once

#include <cstddef>
#include <string_view>

namespace paylode {

// A field keeps at most this many characters; the rest of a longer field is
// cut off.
constexpr std::size_t kMaxFieldLength = 511;

// Number of fields of `line`: 1 plus every separator outside quotes, less
// one when the line ends inside quotes. A null line has 0 fields.
int CountFields(const char* line, char separator);

// The raw text of one field where it lies in the line; its data() is null
// when the line has no such field.
using FieldText = std::string_view;

// The last field of `line`, once a walk of the line has counted one
// separator fewer than the field's number. Its separator is the last one in
// the line, quotes or not. A closing quote ends the field and cuts the line
// right after it, so that a carriage return behind it is dropped; the field
// then starts at the nearest quote before that one, wherever it stands, so
// that a quoted last field holding commas is taken whole. Null when the line
// has no separator.
FieldText LastField(char* line, char separator);

// A line taken apart once, for reading many of its fields: the separators
// outside quotes are found in one pass, so that each field then costs no more
// than its own length. Fields are uncut (the caller holds them to
// kMaxFieldLength), and taking the last field cuts the line as LastField
// does.
class CLineFields {
public:
    CLineFields(char* line, char separator);
    // The same for a line whose length (up to its terminating zero) is known.
    CLineFields(char* line, std::size_t length, char separator);
    // The line's field count, as CountFields gives it.
    int Count() const { return quoted_ ? separators_ : separators_ + 1; }
    // Field `number`, counted from 1; null data() when the line has no such
    // field. One between two kept separators, as most are, is at hand.
    FieldText Field(int number) {
        if (number < 2 || number > separators_ || number > kKeptSeparators) return OtherField(number);
        return {ends_[number - 2] + 1, static_cast<std::size_t>(ends_[number - 1] - ends_[number - 2]) - 1};
    }

private:
    // The first field, the last, a field past the kept separators or none.
    FieldText OtherField(int number);

    static constexpr int kKeptSeparators = 32;
    char* line_;
    char separator_;
    int separators_ = 0;                     // outside quotes, in the whole line
    bool quoted_ = false;                    // the line ends inside quotes
    const char* ends_[kKeptSeparators + 1] = {};  // the first separators, in order
};

// The field without one surrounding pair of double quotes; inner quotes stay.
inline FieldText Unquoted(FieldText field) {
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') return field.substr(1, field.size() - 2);
    return field;
}

}  // namespace paylode
