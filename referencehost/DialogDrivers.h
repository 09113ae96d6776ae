/*
 * A user at the payment run's two dialogs, for the host program and the
 * tests: a thread-local CBT hook meets each dialog when it is activated and
 * a zero-delay timer works its controls, so that every step runs inside the
 * dialog's own modal loop and the dialog sees exactly what a user's clicks
 * and keys would give it. Nothing here knows the dialog's rules.
 */
#pragma once

#include "common/win/Platform.h"
#include "common/TextConversion.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"

namespace paylode {

constexpr int kFileNameBox = 0x47c;  // the dialog's file name combo box

// Meets the first save-file dialog on this thread and answers it: types
// `typed` and presses Save, or presses Cancel when `typed` is empty.
class CSaveDialogDriver {
public:
    // `typed` is ANSI text, as a user types it; or wide text, for any name.
    explicit CSaveDialogDriver(const std::string& typed) : CSaveDialogDriver(WideFromAnsi(typed.c_str())) {}
    explicit CSaveDialogDriver(std::wstring typed) : typed_(std::move(typed)) {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~CSaveDialogDriver() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }

    bool met = false;
    std::string proposed;  // the file name box's text when the dialog opened

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
        const HWND window = reinterpret_cast<HWND>(wparam);
        char className[16] = {};
        if (code == HCBT_ACTIVATE && current_ != nullptr && !current_->met &&
            GetClassNameA(window, className, sizeof className) && std::string(className) == "#32770" &&
            GetDlgItem(window, kFileNameBox) != nullptr) {
            current_->met = true;
            SetTimer(window, 1, 0, &Answer);
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static void CALLBACK Answer(HWND window, UINT, UINT_PTR timer, DWORD) {
        KillTimer(window, timer);
        char text[MAX_PATH] = {};
        GetDlgItemTextA(window, kFileNameBox, text, sizeof text);
        current_->proposed = text;
        if (current_->typed_.empty()) {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SetDlgItemTextW(window, kFileNameBox, current_->typed_.c_str());
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }

    inline static CSaveDialogDriver* current_ = nullptr;
    std::wstring typed_;
    HHOOK hook_ = nullptr;
};

// ---- what a user does on a dialog's controls ------------------------------

inline void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Types into a field, key by key, over what it holds: the field is emptied
// first, so that whatever it proposed is gone.
inline void Type(HWND dialog, int id, const std::string& text) {
    const HWND field = GetDlgItem(dialog, id);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_CHAR, VK_BACK, 0);
    for (char c : text) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 0);
}

// Selects these rows of a list, adding to the rows already selected.
inline void SelectRows(HWND dialog, int listId, const std::vector<int>& rows) {
    const HWND list = GetDlgItem(dialog, listId);
    for (int row : rows) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
}

// Scrolls a list right to its last column.
inline void ScrollToLastColumn(HWND dialog, int listId) {
    const HWND list = GetDlgItem(dialog, listId);
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = header != nullptr ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    int width = 0;
    for (int column = 0; column < columns; ++column) {
        width += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    }
    SendMessageA(list, LVM_SCROLL, width, 0);
    // The header moves with the list, and is drawn again whole.
    if (header != nullptr) {
        InvalidateRect(header, nullptr, TRUE);
        UpdateWindow(header);
    }
}

// A date picked in a date picker: its value set, and the change notification
// it sends its dialog when the user picks a date.
inline void PickDate(HWND dialog, int pickerId, int year, int month, int day) {
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = GetDlgItem(dialog, pickerId);
    change.nmhdr.idFrom = static_cast<UINT_PTR>(pickerId);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    SendMessageA(change.nmhdr.hwndFrom, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&change.st));
    change.st.wYear = static_cast<WORD>(year);
    change.st.wMonth = static_cast<WORD>(month);
    change.st.wDay = static_cast<WORD>(day);
    SendMessageA(change.nmhdr.hwndFrom, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&change.st));
    SendMessageA(dialog, WM_NOTIFY, static_cast<WPARAM>(pickerId), reinterpret_cast<LPARAM>(&change));
}

// ---- meeting the dialogs -----------------------------------------------------

// Meets the first payment options dialog on this thread and runs `steps`
// on it once it is up and painted.
class CPaymentOptionsDriver {
public:
    explicit CPaymentOptionsDriver(std::function<void(HWND)> steps) : steps_(std::move(steps)) {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~CPaymentOptionsDriver() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    bool met = false;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
        const HWND window = reinterpret_cast<HWND>(wparam);
        if (code == HCBT_ACTIVATE && current_ != nullptr && !current_->met &&
            GetDlgItem(window, IDC_IAT_LIST) != nullptr) {
            current_->met = true;
            SetTimer(window, 1, 0, &Steps);
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static void CALLBACK Steps(HWND window, UINT, UINT_PTR timer, DWORD) {
        KillTimer(window, timer);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        current_->steps_(window);
    }
    inline static CPaymentOptionsDriver* current_ = nullptr;
    std::function<void(HWND)> steps_;
    HHOOK hook_ = nullptr;
};

}  // namespace paylode
