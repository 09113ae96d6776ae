/*
 * The file a module was loaded from; see ModuleFile.h.
 */
#include "common/win/ModuleFile.h"

#include <vector>

namespace paylode {

namespace {

// The longest path Windows has, with its terminating null.
constexpr std::size_t kLongestPath = 32768;

}  // namespace

std::wstring ModuleFileName(HMODULE module) {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return std::wstring(path.data(), length);
        // Cut short: the buffer is too small for the whole path.
        if (path.size() >= kLongestPath) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return {};
        }
        path.resize(path.size() * 2 > kLongestPath ? kLongestPath : path.size() * 2);
    }
}

std::wstring ModuleFolder(HMODULE module) {
    std::wstring path = ModuleFileName(module);
    const std::size_t separator = path.find_last_of(L"\\/");
    path.resize(separator == std::wstring::npos ? 0 : separator + 1);
    return path;
}

}  // namespace paylode
