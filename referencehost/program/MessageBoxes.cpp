/*
 * Meeting and answering the run's message boxes (see MessageBoxes.h).
 */
#include "referencehost/program/MessageBoxes.h"

#include <algorithm>
#include <iostream>

#include "referencehost/MessageBoxWindows.h"

namespace paylode::host {

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
    MetMessageBox met;
    met.box = box;
    met.owner = GetWindow(box, GW_OWNER);
    met.caption = referencehost::TextOf(box);
    met.text = referencehost::TextOf(GetDlgItem(box, referencehost::kTextControl));
    met.buttons = referencehost::ButtonsOf(box);
    met.pressed = answer_(met);
    if (std::find(met.buttons.begin(), met.buttons.end(), met.pressed) == met.buttons.end()) {
        met.pressed = referencehost::SafestButton(met.buttons);
    }
    std::string text = met.text;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    const char* button = met.pressed == IDOK ? "OK" : met.pressed == IDYES ? "Yes" : met.pressed == IDNO ? "No"
                                                                                      : "Cancel";
    std::cerr << "message box \"" << met.caption << "\" (" << button << "): " << text << "\n";
    referencehost::Press(box, met.pressed);
    met_.push_back(std::move(met));
}

}  // namespace paylode::host
