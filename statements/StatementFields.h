/*
 * Text functions of the statement reader: counting and extracting the
 * comma-separated fields of a statement line, unquoting and cleaning field
 * texts, and reading amounts and dates from them.
 *
 * Fields are quote-aware: a double quote toggles a quoted stretch in which
 * the separator does not separate. Quotes are never unescaped. GetField
 * returns its field in one 512-byte buffer shared by the whole process, valid
 * until the next extraction and for one thread at a time; the statement
 * reader takes its fields where they lie (CLineFields) and never uses it.
 */
#pragma once

#include <cstddef>

#include "common/CString.h"

namespace paylode {

// Size of the shared field buffer; a field keeps at most kFieldBufferSize - 1
// characters, the rest of a longer field is cut off.
constexpr std::size_t kFieldBufferSize = 512;

// Number of fields of `line`: 1 plus every separator outside quotes, less
// one when the line ends inside quotes. A null line has 0 fields.
int CountFields(const char* line, char separator);

// Field `number` (counted from 1) of `line`, raw (quotes still there), in the
// shared field buffer; null when the line has no such field. Extracting the
// last field cuts `line` itself right after that field's closing quote, so
// that a carriage return behind it is dropped.
char* GetField(char* line, char separator, int number);

// The raw text of one field where it lies in the line; `text` is null when
// the line has no such field.
struct FieldText {
    const char* text = nullptr;
    std::size_t length = 0;
};

// A line taken apart once, for reading many of its fields: the separators
// outside quotes are found in one pass, so that each field then costs no more
// than its own length. Every field is the one GetField gives (uncut: the
// caller holds it to the field buffer's size), and taking the last field cuts
// the line after its closing quote just as GetField does.
class CLineFields {
public:
    CLineFields(char* line, char separator);
    // The line's field count, as CountFields gives it.
    int Count() const { return quoted_ ? separators_ : separators_ + 1; }
    FieldText Field(int number);

private:
    static constexpr int kKeptSeparators = 32;
    char* line_;
    char separator_;
    int separators_ = 0;                     // outside quotes, in the whole line
    bool quoted_ = false;                    // the line ends inside quotes
    const char* ends_[kKeptSeparators + 1];  // the first separators, in order
};

// Removes one surrounding pair of double quotes; inner quotes stay.
void Unquote(CString& text);

// Removes every white-space character (space, tab, line feed, vertical tab,
// form feed, carriage return), wherever it stands.
void RemoveWhitespace(CString& text);

// Removes every character that occurs in `set`.
void RemoveChars(CString& text, CString set);

// The amount of a raw field: unquoted, white space, thousands separators and
// minus signs removed, then its leading decimal number; 0.0 when there is
// none or it does not fit a double.
double ParseAmount(CString text);
// The same on `length` characters of raw field text.
double ParseAmountText(const char* text, std::size_t length);

// The OLE automation date of a date text written day first (DD/MM/YYYY) or
// year first (YYYY-MM-DD), at midnight; 0.0 when neither reading gives a date.
double ParseDate(CString text);
// The same on `length` characters of unquoted date text.
double ParseDateText(const char* text, std::size_t length);

}  // namespace paylode
