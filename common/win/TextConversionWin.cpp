/*
 * Wide text to ANSI text and back on Windows: the platform's conversion for
 * the machine's ANSI code page, with its default flags; and the exact
 * conversion that refuses best fit, for text that names something.
 */
#include "common/TextConversion.h"

#include "common/HResult.h"
#include "common/win/Platform.h"
#include "common/win/Throw.h"

namespace paylode {

std::string PlatformAnsiFromWide(const WideChar* text, int length) {
    if (text == nullptr) return {};
    if (length < 0) length = lstrlenW(text);
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    ThrowLastErrorIf(size <= 0);
    std::string out(static_cast<std::size_t>(size), '\0');
    ThrowLastErrorIf(WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], size, nullptr, nullptr) != size);
    return out;
}

bool ExactAnsiFromWide(const wchar_t* text, int length, std::string* out) {
    out->clear();
    if (text == nullptr || length == 0) return true;
    // Best fit is refused where the code page knows it; the way back then
    // catches whatever still changed (a default character, a dropped one).
    const DWORD flags = GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int size = WideCharToMultiByte(CP_ACP, flags, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    std::string converted(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, text, length, &converted[0], size, nullptr, nullptr) != size) return false;
    if (WideFromAnsi(converted.data(), size) != std::wstring(text, static_cast<std::size_t>(length))) return false;
    *out = std::move(converted);
    return true;
}

WideString WideFromAnsi(const char* text, int length) {
    if (text == nullptr) return {};
    if (length < 0) length = lstrlenA(text);
    if (length == 0) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    ThrowLastErrorIf(size <= 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    ThrowLastErrorIf(MultiByteToWideChar(CP_ACP, 0, text, length, &out[0], size) != size);
    return out;
}

}  // namespace paylode
