/*
 * Text conversion, every kind the product needs, in one place: wide text
 * (UTF-16, what crosses the COM boundary as a BSTR), the component's 8-bit
 * text in the ANSI code page, and UTF-8 (the tools' files, arguments and
 * output).
 *
 * Each encoding has its own type where text crosses a layer: wide text is
 * WideString, the component's ANSI text std::string and CString (the core
 * and the Windows layer), and UTF-8 Utf8Text (cli/ and referencehost/, at
 * the edges where it meets the other two). A Utf8Text is never taken for
 * ANSI text or the other way round: passing one where the other is expected
 * does not compile, and every crossing is one of the named conversions
 * below.
 *
 * Wide text and ANSI text are converted by the platform: on Windows for the
 * ANSI code page of the machine; natively it is Windows-1252, the code page
 * of the machines the component is built for, so both builds give the same
 * bytes there. Wide text to ANSI text is a seam (common/Seam.h). UTF-8 is
 * read and written through utfcpp, the same in every build.
 */
#pragma once

#include <string>
#include <string_view>
#include <utility>

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
using WideString = std::basic_string<WideChar>;
using WideStringView = std::basic_string_view<WideChar>;

// ---- wide text and ANSI text --------------------------------------------------

// The platform's conversion: WideCharToMultiByte(CP_ACP) on Windows,
// Windows-1252 natively.
std::string PlatformAnsiFromWide(const WideChar* text, int length);

using TextConversionSeam = Seam<&PlatformAnsiFromWide>;

// Converts wide text to ANSI text, whole, however many bytes that takes.
// A negative length converts up to the first NUL; a null text gives "".
inline std::string AnsiFromWide(const WideChar* text, int length = -1) {
    return TextConversionSeam::Call(text, length);
}

// ANSI text to wide text: MultiByteToWideChar(CP_ACP) on Windows,
// Windows-1252 natively. A negative length converts up to the first NUL; a
// null text gives "".
WideString WideFromAnsi(const char* text, int length = -1);

#if defined(_WIN32)
// Wide text of `length` characters to ANSI text only when the code page holds
// every character as it is: no best-fit letter ("Ł" as "L", a fullwidth "＼"
// as "\\"), no default character. False, and `out` empty, otherwise. A path
// converted any other way could name another file.
bool ExactAnsiFromWide(const wchar_t* text, int length, std::string* out);
#endif

// ---- UTF-8 ------------------------------------------------------------------

// Text in UTF-8: bytes that a tool reads from its command line or files, or
// writes. Made explicitly from such bytes; its bytes are read with Bytes().
class Utf8Text {
public:
    Utf8Text() = default;
    explicit Utf8Text(std::string bytes) : bytes_(std::move(bytes)) {}

    const std::string& Bytes() const { return bytes_; }
    bool Empty() const { return bytes_.empty(); }
    bool operator==(const Utf8Text& other) const { return bytes_ == other.bytes_; }
    bool operator!=(const Utf8Text& other) const { return bytes_ != other.bytes_; }

private:
    std::string bytes_;
};

// Whether `text` is well-formed UTF-8: no overlong forms, no surrogates, no
// values above U+10FFFF.
bool IsUtf8(std::string_view text);

// UTF-8 to wide text; each ill-formed sequence becomes U+FFFD.
WideString WideFromUtf8(const Utf8Text& utf8);

// Wide text to UTF-8; a surrogate that is not half of a pair becomes U+FFFD,
// as the platform's own conversion writes it.
Utf8Text Utf8FromWide(WideStringView wide);

// UTF-8 text to ANSI text (AnsiFromWide). False when it is not UTF-8.
bool AnsiFromUtf8(const Utf8Text& utf8, std::string* ansi);

// ANSI text up to its terminating zero, as UTF-8.
Utf8Text Utf8FromAnsi(const char* ansi);

}  // namespace paylode
