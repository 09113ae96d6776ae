/*
 * The seam in front of the platform's save-file dialog, through which the
 * payment run asks where to save the payment file.
 *
 * On Windows the dialog is the platform's own (GetSaveFileNameW, the name
 * taken only when the ANSI code page holds it exactly), with the
 * overwrite prompt on, the read-only box hidden and the working directory
 * left as it was. A dialog that fails (CommDlgExtendedError not 0) is told
 * apart from the user's cancel. Tests put a handler of their own in front of
 * it for as long as a ScopedSaveFileDialogHandler lives.
 */
#pragma once

#include <optional>
#include <string>
#include <utility>

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

// How the dialog ended: with the path the user chose, with the user's
// cancel, or with the dialog's own failure (the platform's extended error,
// CommDlgExtendedError), which is not the user's choice and must not pass
// for one.
struct SaveFileChoice {
    SaveFileChoice() = default;  // the user's cancel
    explicit SaveFileChoice(std::string chosen) : path(std::move(chosen)) {}
    static SaveFileChoice Failed(unsigned long error) {
        SaveFileChoice choice;
        choice.failure = error;
        return choice;
    }

    std::optional<std::string> path;
    unsigned long failure = 0;  // 0 unless the dialog itself failed
};

// The platform's dialog itself.
SaveFileChoice ShowPlatformSaveFileDialog(const SaveFileRequest& request);

// Why the dialog failed with the extended error `failure`, in words for the
// clerk ("the name typed does not fit a path").
std::string SaveFileFailureReason(unsigned long failure);

// The dialog in force: the platform's, unless a test stands in front of it
// with a ScopedSaveFileDialogHandler.
using SaveFileDialogSeam = Seam<&ShowPlatformSaveFileDialog>;
using ScopedSaveFileDialogHandler = SaveFileDialogSeam::Override;

inline SaveFileChoice ShowSaveFileDialog(const SaveFileRequest& request) {
    return SaveFileDialogSeam::Call(request);
}

}  // namespace paylode
