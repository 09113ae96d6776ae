/*
 * The save-file dialog: the replaceable handler in front of the platform's
 * GetSaveFileNameA.
 */
#include "payments/win/SaveFileDialog.h"

#include <commdlg.h>

#include <cstring>
#include <utility>

namespace paylode {

namespace {
SaveFileDialogHandler& CurrentHandler() {
    static SaveFileDialogHandler handler;
    return handler;
}
}  // namespace

std::optional<std::string> ShowSaveFileDialog(const SaveFileRequest& request) {
    const SaveFileDialogHandler& handler = CurrentHandler();
    return handler ? handler(request) : ShowPlatformSaveFileDialog(request);
}

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

ScopedSaveFileDialogHandler::ScopedSaveFileDialogHandler(SaveFileDialogHandler handler)
    : previous_(std::exchange(CurrentHandler(), std::move(handler))) {}

ScopedSaveFileDialogHandler::~ScopedSaveFileDialogHandler() { CurrentHandler() = std::move(previous_); }

}  // namespace paylode
