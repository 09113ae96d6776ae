/*
 * UTF-8 for the tool's output. The component's text is 8-bit Windows-1252;
 * the tool writes JSON, which is UTF-8.
 */
#pragma once

#include <cstddef>
#include <string>

namespace paylode::cli {

// Appends one Unicode code point as UTF-8; a code point that is not a
// Unicode scalar value (a lone surrogate, beyond U+10FFFF) becomes U+FFFD.
void AppendUtf8(std::string& out, char32_t codePoint);

// Counted UTF-16 text as UTF-8; a surrogate without its partner becomes U+FFFD.
std::string Utf8FromUtf16(const char16_t* text, std::size_t length);

// Windows-1252 text up to its terminating zero, as UTF-8.
std::string Utf8FromCp1252(const char* text);

}  // namespace paylode::cli
