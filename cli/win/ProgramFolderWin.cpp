/*
 * The folder of paylode.exe on Windows (see ProgramFolder.h): the release and
 * the packages put the modulus folder beside the program, wherever it was
 * installed or unpacked.
 */
#include "cli/win/ProgramFolder.h"

#include <string>
#include <vector>

#include "common/TextConversion.h"
#include "common/win/Platform.h"

namespace paylode::cli {

std::string PathBesideProgram(const char* name) {
    // Room for the longest path Windows has; a path cut short counts as none.
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring folder(path.data(), length < path.size() ? length : 0);
    const std::size_t separator = folder.find_last_of(L"\\/");
    folder.resize(separator == std::wstring::npos ? 0 : separator + 1);
    return Utf8FromWide(folder).Bytes() + name;
}

}  // namespace paylode::cli
