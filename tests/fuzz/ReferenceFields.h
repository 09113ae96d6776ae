/*
 * The field functions of the plain reading (ReferenceLine.h), for the tests
 * and the fuzzers: GetField walks the line character by character up to the
 * field it extracts and copies the field into a buffer of its own, the plain
 * way that the reader's one-pass CLineFields must agree with; and the
 * cleaning of a field's text.
 */
#pragma once

#include <cctype>
#include <cstddef>
#include <cstring>
#include <string>

#include "common/CString.h"
#include "statements/StatementFields.h"

namespace paylode::fuzz {

// GetField's buffer: a field and its terminator.
constexpr std::size_t kFieldBufferSize = kMaxFieldLength + 1;

// Field `number` (counted from 1) of `line`, raw (quotes still there), in one
// buffer shared by the process, zero-filled behind the field, valid until the
// next extraction and for one thread at a time; null when the line has no
// such field. Extracting the last field cuts `line` as LastField does.
inline char* GetField(char* line, char separator, int number) {
    static char buffer[kFieldBufferSize];
    const auto fill = [](FieldText field) {
        std::memset(buffer, 0, sizeof buffer);
        std::memcpy(buffer, field.data(), field.size() < kMaxFieldLength ? field.size() : kMaxFieldLength);
        return buffer;
    };
    if (line == nullptr) return nullptr;
    bool quoted = false;
    int separators = 0;
    const char* start = line;
    for (char* p = line; *p != '\0'; ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (*p == separator && !quoted) {
            ++separators;
            if (separators == number) return fill({start, static_cast<std::size_t>(p - start)});
            start = p + 1;
        }
    }
    if (separators != number - 1) return nullptr;
    const FieldText last = LastField(line, separator);
    return last.data() != nullptr ? fill(last) : nullptr;
}

// Removes every white-space character (space, tab, line feed, vertical tab,
// form feed, carriage return), wherever it stands.
inline void RemoveWhitespace(CString& text) {
    std::string kept;
    for (const char* p = text.GetString(); *p != '\0'; ++p) {
        if (!std::isspace(static_cast<unsigned char>(*p))) kept += *p;
    }
    text = kept.c_str();
}

// Removes every character that occurs in `set`.
inline void RemoveChars(CString& text, const CString& set) {
    std::string kept;
    for (const char* p = text.GetString(); *p != '\0'; ++p) {
        if (set.Find(*p) < 0) kept += *p;
    }
    text = kept.c_str();
}

}  // namespace paylode::fuzz
