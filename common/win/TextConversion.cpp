/*
 * Wide text to ANSI text and back on Windows: the platform's conversion for
 * the machine's ANSI code page, with its default flags.
 */
#include "common/TextConversion.h"
#include "common/win/WinText.h"

#include "common/HResult.h"
#include "common/win/Platform.h"

namespace paylode {

namespace {
[[noreturn]] void ThrowLastError() {
    const DWORD error = GetLastError();
    ThrowHResult(error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY
                     ? kOutOfMemory
                     : HRESULT_FROM_WIN32(error));
}
}  // namespace

std::string AnsiFromWide(const WideChar* text, int length) {
    if (text == nullptr) return {};
    if (length < 0) length = lstrlenW(text);
    if (length == 0) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) ThrowLastError();
    std::string out(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], size, nullptr, nullptr) != size)
        ThrowLastError();
    return out;
}

std::wstring WideFromAnsi(const char* text, int length) {
    if (text == nullptr) return {};
    if (length < 0) length = lstrlenA(text);
    if (length == 0) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (size <= 0) ThrowLastError();
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text, length, &out[0], size) != size) ThrowLastError();
    return out;
}

}  // namespace paylode
