/*
 * Message boxes on Windows: the platform's modal MessageBoxA.
 */
#include "common/MessageBox.h"

#include "common/win/Platform.h"

namespace paylode {

static_assert(static_cast<UINT>(MessageIcon::Error) == MB_ICONERROR &&
              static_cast<UINT>(MessageIcon::Question) == MB_ICONQUESTION &&
              static_cast<UINT>(MessageIcon::Warning) == MB_ICONWARNING &&
              static_cast<UINT>(MessageIcon::Information) == MB_ICONINFORMATION);
static_assert(static_cast<UINT>(MessageButtons::OkCancel) == MB_OKCANCEL &&
              static_cast<UINT>(MessageButtons::YesNo) == MB_YESNO);
static_assert(static_cast<int>(MessageAnswer::Ok) == IDOK && static_cast<int>(MessageAnswer::Cancel) == IDCANCEL &&
              static_cast<int>(MessageAnswer::Yes) == IDYES && static_cast<int>(MessageAnswer::No) == IDNO);

MessageAnswer ShowPlatformMessageBox(const MessageRequest& request) {
    const UINT style = static_cast<UINT>(request.icon) | static_cast<UINT>(request.buttons);
    return static_cast<MessageAnswer>(
        MessageBoxA(static_cast<HWND>(request.owner), request.text.c_str(), request.caption.c_str(), style));
}

}  // namespace paylode
