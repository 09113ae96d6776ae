/*
 * Meeting and answering the run's message boxes (see MessageBoxes.h).
 */
#include "referencehost/program/MessageBoxes.h"

#include <algorithm>
#include <iostream>

#include "referencehost/MessageBoxWindows.h"

namespace paylode::hostprogram {

CMessageBoxAnswers::CMessageBoxAnswers(Answer answer) : answer_(std::move(answer)) {
    current_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
}

CMessageBoxAnswers::~CMessageBoxAnswers() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
}

LRESULT CALLBACK CMessageBoxAnswers::Hook(int code, WPARAM wparam, LPARAM lparam) {
    const HWND window = reinterpret_cast<HWND>(wparam);
    // A box is activated again when a window above it closes: it is met once.
    if (code == HCBT_ACTIVATE && current_ != nullptr && current_->answered_.count(window) == 0 &&
        referencehost::IsMessageBoxWindow(window)) {
        current_->answered_.insert(window);
        current_->Meet(window);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void CMessageBoxAnswers::Meet(HWND box) {
    const referencehost::MessageBoxContents shown = referencehost::ReadMessageBox(box);
    int pressed = answer_(shown);
    if (std::find(shown.buttons.begin(), shown.buttons.end(), pressed) == shown.buttons.end()) {
        pressed = referencehost::SafestButton(shown.buttons);
    }
    std::string text = shown.text;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    const char* button = pressed == IDOK ? "OK" : pressed == IDYES ? "Yes" : pressed == IDNO ? "No" : "Cancel";
    std::cerr << "message box \"" << shown.caption << "\" (" << button << "): " << text << "\n";
    referencehost::Press(box, pressed);
}

}  // namespace paylode::hostprogram
