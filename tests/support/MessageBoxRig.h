/*
 * Meeting the message boxes that the code under test shows, under Wine.
 *
 * A test states the answers it will give, in order, before it calls the code:
 *
 *     testrig::MessageBoxScript boxes({MessageAnswer::No});
 *     RunTheCode();
 *     EXPECT_TRUE(boxes.Verify());
 *     EXPECT_EQ("Bulk List Template Exists", boxes.Met().at(0).caption);
 *
 * While the script lives, a WH_CBT hook on the test's own thread sees every
 * message box when it is activated, records its owner, caption, text, icon
 * and buttons, and presses the scripted button by posting WM_COMMAND, which
 * the box's own modal loop then handles. A box that comes when no answer is
 * left, or lacks the scripted button, is closed with its safest button
 * (Cancel, then No, then OK) and counts as a fault.
 *
 * Nothing waits unbounded: a watchdog thread watches the test's thread, and
 * when no box has come for the script's patience while a modal window of that
 * thread is up (a dialog, or a window whose owner is disabled), it cancels
 * and closes that window, and on the next round ends the modal loop with
 * WM_QUIT. Verify() then reports it, together with any scripted box that never
 * came, as one failure.
 */
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/MessageBox.h"
#include "common/win/Platform.h"
#include "referencehost/MessageBoxWindows.h"

namespace paylode::testrig {

// One message box as the rig met it: what it showed (owner, caption, text,
// buttons), its icon and the button the rig pressed.
struct MetMessageBox : referencehost::MessageBoxContents {
    // The icon, found by matching the handle in the box's icon control with
    // the system's shared icons; None when the box shows none or another.
    MessageIcon icon = MessageIcon::None;
    // The button the rig pressed.
    int pressed = 0;
};

// The MB_ button set that shows exactly these buttons; false when none does.
bool ButtonsOfBox(const std::vector<int>& buttons, MessageButtons* set);

// True when the window is a message box (referencehost/MessageBoxWindows.h).
using referencehost::IsMessageBoxWindow;

class MessageBoxScript {
public:
    using Clock = std::chrono::steady_clock;

    explicit MessageBoxScript(std::vector<MessageAnswer> answers,
                              std::chrono::milliseconds patience = std::chrono::seconds(5));
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;

    // The boxes met so far, in order.
    const std::vector<MetMessageBox>& Met() const { return met_; }

    // Success when every scripted answer was given to a box that had its
    // button, no unscripted box came and the watchdog ended nothing. Call it
    // on the test's thread once the code under test has returned; a script
    // destroyed without being verified reports its faults itself.
    ::testing::AssertionResult Verify();

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wparam, LPARAM lparam);
    void Meet(HWND box);
    void Watch();
    void Fault(std::string text);

    std::vector<MessageAnswer> answers_;
    std::size_t next_ = 0;
    std::vector<MetMessageBox> met_;
    std::chrono::milliseconds patience_;
    DWORD thread_;
    HHOOK hook_ = nullptr;
    MessageBoxScript* previous_ = nullptr;
    bool verified_ = false;

    // Shared with the watchdog thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    Clock::time_point lastActivity_;
    std::vector<std::string> faults_;
    std::thread watchdog_;
};

}  // namespace paylode::testrig
