/*
 * The seam through which the component shows its modal message boxes.
 *
 * Code in the core asks for a message box with its owner window, caption,
 * text, icon and buttons, and gets the user's answer. On Windows the box is
 * the platform's MessageBoxA; tests and the native tool install a handler
 * that records the request and answers it.
 *
 * The numbers are the platform's own (MB_ and ID values), so the Windows side
 * passes them through unchanged and tests can compare them with the SDK's.
 */
#pragma once

#include <string>

#include "common/Seam.h"

namespace paylode {

// The caption of the component's own messages and questions.
constexpr const char kComponentCaption[] = "Torvo Kelmar Bank Paylode";

// A window handle as the core sees it: opaque; null means no owner.
using WindowHandle = void*;

enum class MessageIcon : unsigned {
    None = 0x00,
    Error = 0x10,        // MB_ICONERROR (stop sign)
    Question = 0x20,     // MB_ICONQUESTION
    Warning = 0x30,      // MB_ICONWARNING, also called the exclamation icon
    Information = 0x40,  // MB_ICONINFORMATION
};

enum class MessageButtons : unsigned {
    Ok = 0x0,        // MB_OK
    OkCancel = 0x1,  // MB_OKCANCEL
    YesNo = 0x4,     // MB_YESNO
};

enum class MessageAnswer : int {
    Ok = 1,      // IDOK
    Cancel = 2,  // IDCANCEL
    Yes = 6,     // IDYES
    No = 7,      // IDNO
};

struct MessageRequest {
    WindowHandle owner = nullptr;
    std::string caption;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// The platform's own way of showing a box: MessageBoxA on Windows; natively
// the request is written to standard error and answered with Ok, or with No
// or Cancel where there is a choice, so nothing is confirmed by default.
MessageAnswer ShowPlatformMessageBox(const MessageRequest& request);

using MessageBoxSeam = Seam<&ShowPlatformMessageBox>;
using MessageBoxHandler = MessageBoxSeam::Handler;
// Replaces the way message boxes are shown for as long as it lives; the
// previous handler comes back when it ends. For tests and the native tool.
using ScopedMessageBoxHandler = MessageBoxSeam::Override;

// Shows a modal message box and returns the answer.
inline MessageAnswer ShowMessageBox(const MessageRequest& request) { return MessageBoxSeam::Call(request); }

}  // namespace paylode
