/*
 * UTF-8 to UTF-16, for the tool's input files and arguments. The tool then
 * converts the wide text to the ANSI code page through the component's own
 * conversion, so that its values are the 8-bit text the DLL would see for
 * the same host data.
 */
#pragma once

#include <string>
#include <string_view>

namespace paylode::cli {

// Decodes `text`. False, and `result` unspecified, when it is not
// well-formed UTF-8 (overlong forms, surrogates and values above U+10FFFF
// included); `badOffset`, when given, receives the offset of the first bad
// byte.
bool Utf16FromUtf8(std::string_view text, std::u16string* result, std::size_t* badOffset = nullptr);

}  // namespace paylode::cli
