/*
 * The payment file's two character filters, shared by the record writers, the
 * payment options dialog and the settings keys.
 *
 * DigitsOf keeps the decimal digits of a value (sort codes are typed with
 * dashes or spaces; the bank wants the six digits). Sanitise keeps what the
 * bank's payment import accepts in names and references: ASCII letters
 * (upper-cased), digits, space, ".", "-", "&" and, where allowed, "/". Every
 * other character is removed, the "?" that stands for a character the ANSI
 * code page could not hold among them. Neither filter cuts to a width; the
 * caller cuts to its column.
 */
#pragma once

#include "common/CString.h"

namespace paylode {

// `text` with every character that is not a decimal digit removed.
// A null text is E_INVALIDARG.
CString DigitsOf(const char* text);

// `text` filtered for the payment file: ASCII letters upper-cased; digits,
// space, ".", "-", "&" and (when `keepSlash`) "/" kept; everything else
// removed. A null text is E_INVALIDARG.
CString Sanitise(const char* text, bool keepSlash = true);

}  // namespace paylode
