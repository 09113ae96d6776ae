/*
 * The message box rig: the thread's CBT hook that meets and answers each box,
 * and the watchdog that ends a modal loop which waits too long.
 */
#include "support/MessageBoxRig.h"

#include "referencehost/MessageBoxWindows.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace paylode::testrig {

using referencehost::ClassOf;
using referencehost::ForEachChild;
using referencehost::ForEachThreadWindow;
using referencehost::Press;
using referencehost::SafestButton;
using referencehost::TextOf;

namespace {

thread_local MessageBoxScript* tCurrentScript = nullptr;

// Marks a box the rig has met, so that a second activation of the same box
// (after another window was active) is not taken for a new one. The mark
// goes with the window.
constexpr const char* kMetMark = "PaylodeRigMetBox";

// The box's icon: its icon static control holds one of the system's shared
// icons, the same handle that LoadIcon(nullptr, IDI_...) gives in this
// process. Works the same in both bitnesses under Wine, and does not depend
// on the control's id, which differs between platforms.
MessageIcon IconOf(HWND box) {
    HICON shown = nullptr;
    ForEachChild(box, [&](HWND child) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        }
    });
    if (shown == nullptr) return MessageIcon::None;
    const struct {
        LPCSTR resource;
        MessageIcon icon;
    } known[] = {{IDI_ERROR, MessageIcon::Error},
                 {IDI_QUESTION, MessageIcon::Question},
                 {IDI_WARNING, MessageIcon::Warning},
                 {IDI_INFORMATION, MessageIcon::Information}};
    for (const auto& row : known) {
        if (LoadIconA(nullptr, row.resource) == shown) return row.icon;
    }
    return MessageIcon::None;
}

std::string ButtonName(int id) {
    switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "button " + std::to_string(id);
    }
}

// The thread's windows that hold a modal loop: shown and enabled top-level
// windows that are dialogs or whose owner is disabled.
std::vector<HWND> ModalWindowsOf(DWORD thread) {
    std::vector<HWND> windows;
    ForEachThreadWindow(
        [&](HWND window) {
            if (IsWindowVisible(window) && IsWindowEnabled(window)) {
                const HWND owner = GetWindow(window, GW_OWNER);
                if (ClassOf(window) == "#32770" || (owner != nullptr && !IsWindowEnabled(owner)))
                    windows.push_back(window);
            }
        },
        thread);
    return windows;
}

}  // namespace

bool ButtonsOfBox(const std::vector<int>& buttons, MessageButtons* set) {
    const struct {
        std::vector<int> ids;
        MessageButtons set;
    } known[] = {{{IDOK}, MessageButtons::Ok},
                 {{IDOK, IDCANCEL}, MessageButtons::OkCancel},
                 {{IDYES, IDNO}, MessageButtons::YesNo}};
    for (const auto& row : known) {
        if (row.ids == buttons) {
            *set = row.set;
            return true;
        }
    }
    return false;
}

MessageBoxScript::MessageBoxScript(std::vector<MessageAnswer> answers, std::chrono::milliseconds patience)
    : answers_(std::move(answers)), patience_(patience), thread_(GetCurrentThreadId()), lastActivity_(Clock::now()) {
    previous_ = tCurrentScript;
    tCurrentScript = this;
    hook_ = SetWindowsHookExA(WH_CBT, &MessageBoxScript::HookProc, nullptr, thread_);
    if (hook_ == nullptr) Fault("the CBT hook could not be set: error " + std::to_string(GetLastError()));
    watchdog_ = std::thread([this] { Watch(); });
}

MessageBoxScript::~MessageBoxScript() {
    if (!verified_) {
        const ::testing::AssertionResult result = Verify();
        if (!result) ADD_FAILURE() << result.message();
    }
}

LRESULT CALLBACK MessageBoxScript::HookProc(int code, WPARAM wparam, LPARAM lparam) {
    MessageBoxScript* script = tCurrentScript;
    if (code == HCBT_ACTIVATE && script != nullptr) {
        const HWND window = reinterpret_cast<HWND>(wparam);
        if (IsMessageBoxWindow(window) && GetPropA(window, kMetMark) == nullptr) {
            SetPropA(window, kMetMark, reinterpret_cast<HANDLE>(1));
            script->Meet(window);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void MessageBoxScript::Meet(HWND box) {
    MetMessageBox met;
    static_cast<referencehost::MessageBoxContents&>(met) = referencehost::ReadMessageBox(box);
    met.icon = IconOf(box);

    const std::string which =
        "message box " + std::to_string(met_.size() + 1) + " (\"" + met.caption + "\": \"" + met.text + "\")";
    if (next_ < answers_.size()) {
        const int wanted = static_cast<int>(answers_[next_++]);
        if (std::find(met.buttons.begin(), met.buttons.end(), wanted) != met.buttons.end()) {
            met.pressed = wanted;
        } else {
            met.pressed = SafestButton(met.buttons);
            Fault(which + " has no " + ButtonName(wanted) + " button for the scripted answer; pressed " +
                  ButtonName(met.pressed));
        }
    } else {
        met.pressed = SafestButton(met.buttons);
        Fault(which + " came after the scripted answers ran out; pressed " + ButtonName(met.pressed));
    }
    Press(box, met.pressed);
    met_.push_back(std::move(met));

    std::lock_guard<std::mutex> lock(mutex_);
    lastActivity_ = Clock::now();
    wake_.notify_all();
}

void MessageBoxScript::Fault(std::string text) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.push_back(std::move(text));
}

void MessageBoxScript::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    bool cancelled = false;  // the first round cancelled the waiting windows
    while (!stopping_) {
        const Clock::time_point deadline = lastActivity_ + patience_;
        wake_.wait_until(lock, deadline, [&] { return stopping_ || lastActivity_ + patience_ != deadline; });
        if (stopping_) break;
        if (Clock::now() < lastActivity_ + patience_) {
            cancelled = false;  // a box came: the patience starts again
            continue;
        }
        lock.unlock();
        const std::vector<HWND> waiting = ModalWindowsOf(thread_);
        std::vector<std::string> found;
        for (HWND window : waiting) found.push_back(ClassOf(window) + " \"" + TextOf(window) + "\"");
        if (!waiting.empty() && !cancelled) {
            for (HWND window : waiting) {
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                PostMessageA(window, WM_CLOSE, 0, 0);
            }
        } else if (!waiting.empty()) {
            PostThreadMessageA(thread_, WM_QUIT, 0, 0);
        }
        lock.lock();
        const std::string after = std::to_string(patience_.count()) + " ms without a message box";
        if (!waiting.empty() && !cancelled) {
            for (const std::string& window : found)
                faults_.push_back("the watchdog cancelled " + window + " after " + after);
        } else if (!waiting.empty()) {
            faults_.push_back("the watchdog ended a modal loop with WM_QUIT after another " + after);
        }
        cancelled = !waiting.empty() && !cancelled;
        lastActivity_ = Clock::now();
    }
}

::testing::AssertionResult MessageBoxScript::Verify() {
    if (!verified_) {
        verified_ = true;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            wake_.notify_all();
        }
        if (watchdog_.joinable()) watchdog_.join();
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
        tCurrentScript = previous_;
        // A modal loop ended by the watchdog leaves WM_QUIT behind for the
        // thread's outer loop; the test has none, and the next test's boxes
        // would end at once.
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        for (std::size_t missing = next_; missing < answers_.size(); ++missing) {
            faults_.push_back("the message box for scripted answer " + std::to_string(missing + 1) + " (" +
                              ButtonName(static_cast<int>(answers_[missing])) + ") never came");
        }
    }
    if (faults_.empty()) return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "message box script: " << met_.size() << " met, " << answers_.size() << " scripted";
    for (const std::string& fault : faults_) out << "\n  " << fault;
    return ::testing::AssertionFailure() << out.str();
}

}  // namespace paylode::testrig
