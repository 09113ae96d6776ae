/*
 * The platform's save-file dialog, GetSaveFileNameA.
 */
#include "payments/win/SaveFileDialog.h"

#include <commdlg.h>

#include <cstring>

namespace paylode {

std::optional<std::string> ShowPlatformSaveFileDialog(const SaveFileRequest& request) {
    char path[kSaveFilePathChars] = {};
    std::strncpy(path, request.initialPath.c_str(), sizeof path - 1);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = request.filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrDefExt = request.defaultExtension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog)) return std::nullopt;
    return std::string(path);
}

}  // namespace paylode
