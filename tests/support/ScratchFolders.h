// Folders that Windows tests make for themselves, removed again.
#pragma once

#include <string>

#include "common/win/Owners.h"
#include "common/win/Platform.h"

namespace paylode::testrig {

// Deletes the files of `folder` whose names match `pattern`, then the
// folder itself when nothing else is left in it.
inline void RemoveFilesAndFolder(const std::string& folder, const char* pattern = "*") {
    WIN32_FIND_DATAA entry;
    const CFindHandle search(FindFirstFileA((folder + "\\" + pattern).c_str(), &entry));
    if (search) {
        do {
            DeleteFileA((folder + "\\" + entry.cFileName).c_str());
        } while (FindNextFileA(search.Get(), &entry));
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace paylode::testrig
