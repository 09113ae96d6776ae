/*
 * Windows-1252 conversions, portable. The native build converts wide text
 * with them; under Wine they are checked against the platform's conversion.
 */
#pragma once

#include <cstddef>
#include <string>

namespace paylode {

// One UTF-16 code unit to its Windows-1252 byte, "?" when there is none.
char Cp1252FromUtf16(char16_t unit);

// A counted UTF-16 text, one byte per code unit.
std::string Cp1252FromUtf16(const char16_t* text, std::size_t length);

// One Windows-1252 byte to its UTF-16 code unit.
char16_t Utf16FromCp1252(unsigned char byte);

}  // namespace paylode
