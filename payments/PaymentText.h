/*
 * The payment file's character filters, shared by the record writers and the
 * payment options dialog: DigitsOf (common/DigitsOf.h) for sort codes, and
 * Sanitise, which keeps what the
 * bank's payment import accepts in names and references: ASCII letters
 * (upper-cased), digits, space, ".", "-", "&" and, where allowed, "/". Every
 * other character is removed, the "?" that stands for a character the ANSI
 * code page could not hold among them. Neither filter cuts to a width; the
 * caller cuts to its column.
 */
#pragma once

#include "common/CString.h"
#include "common/DigitsOf.h"

namespace paylode {

// `text` filtered for the payment file: ASCII letters upper-cased; digits,
// space, ".", "-", "&" and (when `keepSlash`) "/" kept; everything else
// removed. A null text is E_INVALIDARG.
CString Sanitise(const char* text, bool keepSlash = true);

}  // namespace paylode
