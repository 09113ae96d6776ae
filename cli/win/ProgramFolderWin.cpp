/*
 * The folder of paylode.exe on Windows: the release and the packages put the
 * modulus folder beside the program, wherever it was installed or unpacked.
 * Outside the unity build of the command files, so that <windows.h> and its
 * macros meet none of them.
 */
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "common/TextConversion.h"
#include "common/win/Platform.h"

namespace paylode::cli {

std::string PathBesideProgram(const char* name) {
    // The long-path limit: a deeper folder would not be unpacked there.
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring folder(path.data(), length < path.size() ? length : 0);
    const std::size_t separator = folder.find_last_of(L"\\/");
    folder.resize(separator == std::wstring::npos ? 0 : separator + 1);
    return Utf8FromWide(folder).Bytes() + name;
}

}  // namespace paylode::cli
