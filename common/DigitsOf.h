/*
 * DigitsOf: a value with every character that is not a decimal digit
 * removed. Sort codes are typed with dashes or blanks as often as without;
 * the payment file, the settings keys and the statement import all want the
 * digits alone.
 */
#pragma once

#include "common/CString.h"

namespace paylode {

// `text` with every character that is not a decimal digit removed.
// A null text is E_INVALIDARG.
CString DigitsOf(const char* text);

}  // namespace paylode
