/*
 * Reading a message box as a user sees it, and pressing its buttons: for the
 * host program and the tests' message-box rig. A box is told from the
 * component's own dialogs by what it holds (static controls and push
 * buttons, the text in control 0xFFFF), not by the platform's private ids.
 */
#pragma once

#include "common/win/Platform.h"

#include <string>
#include <vector>

namespace paylode::referencehost {

// The control that holds a message box's text.
constexpr int kTextControl = 0xFFFF;

std::string ClassOf(HWND window);
std::string TextOf(HWND window);

// Window enumeration with a lambda: the callbacks must be __stdcall in
// 32-bit code, which a lambda cannot be.
template <typename Visit>
BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    (*reinterpret_cast<Visit*>(context))(window);
    return TRUE;
}

// Every child window, at any depth.
template <typename Visit>
void ForEachChild(HWND parent, Visit visit) {
    EnumChildWindows(parent, &VisitWindow<Visit>, reinterpret_cast<LPARAM>(&visit));
}

// Every top-level window of a thread (this one unless given).
template <typename Visit>
void ForEachThreadWindow(Visit visit, DWORD thread = GetCurrentThreadId()) {
    EnumThreadWindows(thread, &VisitWindow<Visit>, reinterpret_cast<LPARAM>(&visit));
}

// What a message box shows.
struct MessageBoxContents {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    // The control ids of the box's push buttons (IDOK, IDCANCEL, IDYES, IDNO,
    // ...), in ascending order.
    std::vector<int> buttons;
};

MessageBoxContents ReadMessageBox(HWND box);

// True when the window is a message box: a dialog (class "#32770") that holds
// only static controls and push buttons, one of them the text control 0xFFFF.
bool IsMessageBoxWindow(HWND window);

// The button that commits to the least: the one a careful user would press
// to get rid of a box nobody expected.
int SafestButton(const std::vector<int>& buttons);

// Presses the button as a click does, through the box's own modal loop.
void Press(HWND box, int id);

}  // namespace paylode::referencehost
