/*
 * Reading and answering message boxes (see MessageBoxWindows.h).
 */
#include "referencehost/MessageBoxWindows.h"

#include <algorithm>

namespace paylode::referencehost {
namespace {

bool IsPushButton(HWND child) {
    if (lstrcmpiA(ClassOf(child).c_str(), "Button") != 0) return false;
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const LONG kind = style & BS_TYPEMASK;
    // WS_VISIBLE rather than IsWindowVisible: at activation the box itself is
    // not shown yet, so no child of it counts as visible.
    return (style & WS_VISIBLE) != 0 && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON);
}

}  // namespace

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    if (window == nullptr) return {};
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

MessageBoxContents ReadMessageBox(HWND box) {
    MessageBoxContents contents;
    contents.owner = GetWindow(box, GW_OWNER);
    contents.caption = TextOf(box);
    contents.text = TextOf(GetDlgItem(box, kTextControl));
    ForEachChild(box, [&](HWND child) {
        if (GetParent(child) == box && IsPushButton(child)) contents.buttons.push_back(GetDlgCtrlID(child));
    });
    std::sort(contents.buttons.begin(), contents.buttons.end());
    return contents;
}

int SafestButton(const std::vector<int>& buttons) {
    for (int id : {IDCANCEL, IDNO, IDOK}) {
        if (std::find(buttons.begin(), buttons.end(), id) != buttons.end()) return id;
    }
    return buttons.empty() ? IDCANCEL : buttons.front();
}

void Press(HWND box, int id) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

bool IsMessageBoxWindow(HWND window) {
    if (ClassOf(window) != "#32770") return false;
    const HWND textControl = GetDlgItem(window, kTextControl);
    if (textControl == nullptr || lstrcmpiA(ClassOf(textControl).c_str(), "Static") != 0) return false;
    bool onlyStaticsAndButtons = true;
    int buttons = 0;
    ForEachChild(window, [&](HWND child) {
        if (GetParent(child) != window) return;
        const std::string name = ClassOf(child);
        if (IsPushButton(child)) {
            ++buttons;
        } else if (lstrcmpiA(name.c_str(), "Static") != 0 && lstrcmpiA(name.c_str(), "Button") != 0) {
            onlyStaticsAndButtons = false;
        }
    });
    return onlyStaticsAndButtons && buttons > 0;
}

}  // namespace paylode::referencehost
