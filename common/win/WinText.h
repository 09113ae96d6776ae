/*
 * ANSI text back to wide text, Windows only (the way to the host is a BSTR),
 * and the exact conversion of wide text that names something, such as a path.
 */
#pragma once

#include <string>

namespace paylode {

// ANSI text to wide text with the machine's ANSI code page. A negative length
// converts up to the first NUL; a null text gives "".
std::wstring WideFromAnsi(const char* text, int length = -1);

// Wide text of `length` characters to ANSI text only when the code page holds
// every character as it is: no best-fit letter ("Ł" as "L", a fullwidth "＼"
// as "\\"), no default character. False, and `out` empty, otherwise. A path
// converted any other way could name another file.
bool ExactAnsiFromWide(const wchar_t* text, int length, std::string* out);

}  // namespace paylode
