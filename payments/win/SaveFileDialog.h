/*
 * The seam in front of the platform's save-file dialog, through which the
 * payment run asks where to save the payment file.
 *
 * On Windows the dialog is the platform's own (GetSaveFileNameW, the name
 * taken only when the ANSI code page holds it exactly), with the
 * overwrite prompt on, the read-only box hidden and the working directory
 * left as it was. Tests put a handler of their own in front of it for as
 * long as a ScopedSaveFileDialogHandler lives.
 */
#pragma once

#include <optional>
#include <string>

#include "common/Seam.h"
#include "common/win/Platform.h"

namespace paylode {

// The longest path the dialog hands back, terminator included.
constexpr std::size_t kSaveFilePathChars = MAX_PATH;

struct SaveFileRequest {
    HWND owner = nullptr;
    // Pairs of description and pattern, each ended by a NUL, the list by a
    // second NUL.
    std::string filter;
    std::string defaultExtension;  // without the dot
    std::string initialPath;       // the name proposed first, cut to fit
};

// The platform's dialog itself: the path the user chose, or nothing when
// the dialog ended without one.
std::optional<std::string> ShowPlatformSaveFileDialog(const SaveFileRequest& request);

// The dialog in force: the platform's, unless a test stands in front of it
// with a ScopedSaveFileDialogHandler.
using SaveFileDialogSeam = Seam<&ShowPlatformSaveFileDialog>;
using ScopedSaveFileDialogHandler = SaveFileDialogSeam::Override;

inline std::optional<std::string> ShowSaveFileDialog(const SaveFileRequest& request) {
    return SaveFileDialogSeam::Call(request);
}

}  // namespace paylode
