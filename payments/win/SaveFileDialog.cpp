/*
 * The platform's save-file dialog, GetSaveFileNameW: the user may type any
 * name, and the name comes back to the run's 8-bit text only when the ANSI
 * code page holds it character for character. The ANSI dialog would hand
 * back a best-fit spelling ("Lodz.txt" for "Łódź.txt"), which names another
 * file, perhaps one that exists.
 */
#include "payments/win/SaveFileDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/MessageBox.h"
#include "common/TextConversion.h"

namespace paylode {

namespace {

constexpr const char kUnusableNameText[] =
    "The payment file cannot be saved under this name: it holds characters that this computer's character "
    "set cannot store.\r\nNo payment file has been written.";

}  // namespace

std::string SaveFileFailureReason(unsigned long failure) {
    switch (failure) {
        case FNERR_BUFFERTOOSMALL:
            return "the name does not fit in a path of 259 characters";
        case FNERR_INVALIDFILENAME:
            return "the name is not a valid file name";
        case FNERR_SUBCLASSFAILURE:
        case CDERR_MEMALLOCFAILURE:
        case CDERR_MEMLOCKFAILURE:
            return "there was not enough memory to show the file dialog";
        default: {
            char text[96];
            std::snprintf(text, sizeof text, "the file dialog failed (error 0x%04lX)", failure);
            return text;
        }
    }
}

SaveFileChoice ShowPlatformSaveFileDialog(const SaveFileRequest& request) {
    std::vector<wchar_t> path(kSaveFilePathChars, L'\0');
    const std::wstring initial = WideFromAnsi(request.initialPath.c_str());
    initial.copy(path.data(), std::min(initial.size(), path.size() - 1));
    // The filter's pairs and closing NUL are converted with the NULs.
    const std::wstring filter = WideFromAnsi(request.filter.c_str(), static_cast<int>(request.filter.size() + 1));
    const std::wstring extension = WideFromAnsi(request.defaultExtension.c_str());
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) {
        const DWORD failure = CommDlgExtendedError();
        if (failure != 0) return SaveFileChoice::Failed(failure);
        return SaveFileChoice();
    }

    std::string chosen;
    if (!ExactAnsiFromWide(path.data(), lstrlenW(path.data()), &chosen)) {
        ShowMessageBox(
            {request.owner, kComponentCaption, kUnusableNameText, MessageIcon::Warning, MessageButtons::Ok});
        return SaveFileChoice();
    }
    return SaveFileChoice(std::move(chosen));
}

}  // namespace paylode
