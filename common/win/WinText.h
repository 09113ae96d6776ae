/*
 * ANSI text back to wide text, Windows only (the way to the host is a BSTR).
 */
#pragma once

#include <string>

namespace paylode {

// ANSI text to wide text with the machine's ANSI code page. A negative length
// converts up to the first NUL; a null text gives "".
std::wstring WideFromAnsi(const char* text, int length = -1);

}  // namespace paylode
