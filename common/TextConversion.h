/*
 * The seam between wide text (what crosses the COM boundary as a BSTR) and
 * the component's 8-bit text in the ANSI code page.
 *
 * On Windows the conversion is the platform's, for the ANSI code page of the
 * machine; natively it is Windows-1252, the code page of the machines the
 * component is built for, so both builds give the same bytes there.
 */
#pragma once

#include <string>

#include "common/Seam.h"

namespace paylode {

#if defined(_WIN32)
using WideChar = wchar_t;
#define PAYLODE_WIDE(text) L##text
#else
using WideChar = char16_t;
#define PAYLODE_WIDE(text) u##text
#endif
static_assert(sizeof(WideChar) == 2, "wide text is UTF-16");

// The platform's conversion: WideCharToMultiByte(CP_ACP) on Windows,
// Windows-1252 natively.
std::string PlatformAnsiFromWide(const WideChar* text, int length);

using TextConversionSeam = Seam<&PlatformAnsiFromWide>;

// Converts wide text to ANSI text, whole, however many bytes that takes.
// A negative length converts up to the first NUL; a null text gives "".
inline std::string AnsiFromWide(const WideChar* text, int length = -1) {
    return TextConversionSeam::Call(text, length);
}

}  // namespace paylode
