/*
 * The default payment directory check through the platform's
 * find-first-file call (see DefaultPaymentPath.h).
 */
#include "payments/win/DefaultPaymentPathWin.h"

#include "common/MessageBox.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"

namespace paylode {

void ResolveDefaultPaymentPath(const char* fileName, const char* directory, char (&path)[kPaymentPathBytes]) {
    const std::optional<std::string> pattern = SearchPatternFor(directory);
    bool found = false;
    if (pattern) {
        WIN32_FIND_DATAA entry;
        const CFindHandle search(FindFirstFileA(pattern->c_str(), &entry));
        found = search || IsDriveAPattern(*pattern);
    }
    if (found) {
        CopyPaymentPath(JoinDirectoryAndFile(directory, fileName), path);
        return;
    }
    MessageRequest request;
    request.owner = GetActiveWindow();
    request.caption = kInvalidDefaultPathCaption;
    request.text = MissingDirectoryMessage(directory);
    request.icon = MessageIcon::Error;
    request.buttons = MessageButtons::Ok;
    ShowMessageBox(request);
    CopyPaymentPath(JoinDirectoryAndFile(kFallbackPaymentDirectory, fileName), path);
}

}  // namespace paylode
