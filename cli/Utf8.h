/*
 * UTF-8 at the tool's edges, through utfcpp: its input files and arguments
 * are UTF-8 and its JSON output is UTF-8, while the component's text is
 * 8-bit Windows-1252.
 */
#pragma once

#include <string>
#include <string_view>

namespace paylode::cli {

// Decodes `text`. False, and `result` unspecified, when it is not
// well-formed UTF-8 (overlong forms, surrogates and values above U+10FFFF
// included).
bool Utf16FromUtf8(std::string_view text, std::u16string* result);

// Windows-1252 text up to its terminating zero, as UTF-8.
std::string Utf8FromCp1252(const char* text);

}  // namespace paylode::cli
