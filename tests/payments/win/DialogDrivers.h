// Drivers of the payment run's two dialogs under Wine: a thread-local CBT
// hook meets the dialog when it is activated and a zero-delay timer works
// its controls, so that the test runs inside the dialog's own modal loop.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "common/win/Platform.h"
#include "resources/resource.h"

namespace paylode {

constexpr int kFileNameBox = 0x47c;  // the dialog's file name combo box

// Meets the first save-file dialog on this thread and answers it: types
// `typed` and presses Save, or presses Cancel when `typed` is empty.
class CSaveDialogDriver {
public:
    explicit CSaveDialogDriver(std::string typed) : typed_(std::move(typed)) {
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
            current_->dialog_ = window;
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
        SetDlgItemTextA(window, kFileNameBox, current_->typed_.c_str());
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }

    inline static CSaveDialogDriver* current_ = nullptr;
    std::string typed_;
    HHOOK hook_ = nullptr;
    HWND dialog_ = nullptr;
};

// Meets the first payment options dialog on this thread and runs `steps`
// on it once it is up.
class CPayInfoDriver {
public:
    explicit CPayInfoDriver(std::function<void(HWND)> steps) : steps_(std::move(steps)) {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~CPayInfoDriver() {
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
        current_->steps_(window);
    }
    inline static CPayInfoDriver* current_ = nullptr;
    std::function<void(HWND)> steps_;
    HHOOK hook_ = nullptr;
};

}  // namespace paylode
