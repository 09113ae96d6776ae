// Under Wine and Xvfb: the rig meets real message boxes, answers them as
// scripted, and turns a box that never comes into a prompt failure.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>

#include "common/MessageBox.h"
#include "common/win/Platform.h"
#include "support/MessageBoxRig.h"

namespace paylode::testrig {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A shown top-level window to own the boxes, destroyed at the end.
class OwnerWindow {
public:
    OwnerWindow() {
        window_ = CreateWindowExA(0, "STATIC", "Payment run", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~OwnerWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(MessageBoxRig, MeetsAMessageBoxAndAnswersItNo) {
    OwnerWindow owner;
    ASSERT_NE(nullptr, owner.get()) << "no window: is there a display? error " << GetLastError();
    MessageBoxScript boxes({MessageAnswer::No});
    const int answer =
        MessageBoxA(owner.get(), "The file exists. Overwrite it?", "Bulk List Template", MB_ICONWARNING | MB_YESNO);
    ASSERT_TRUE(boxes.Verify());
    EXPECT_EQ(IDNO, answer);
    ASSERT_EQ(1u, boxes.Met().size());
    const MetMessageBox& met = boxes.Met()[0];
    EXPECT_EQ(owner.get(), met.owner);
    EXPECT_EQ("Bulk List Template", met.caption);
    EXPECT_EQ("The file exists. Overwrite it?", met.text);
    EXPECT_EQ(MessageIcon::Warning, met.icon);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), met.buttons);
    EXPECT_EQ(IDNO, met.pressed);
}

TEST(MessageBoxRig, ReadsIconAndButtonsOfEveryKindTheComponentShows) {
    OwnerWindow owner;
    struct Row {
        MessageIcon icon;
        MessageButtons buttons;
        MessageAnswer answer;
    };
    // clang-format off
    const Row rows[] = {
        {MessageIcon::Error, MessageButtons::Ok, MessageAnswer::Ok},
        {MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::Yes},
        {MessageIcon::Warning, MessageButtons::OkCancel, MessageAnswer::Cancel},
        {MessageIcon::Information, MessageButtons::OkCancel, MessageAnswer::Ok},
        {MessageIcon::None, MessageButtons::YesNo, MessageAnswer::No},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        const Row& row = rows[i];
        MessageBoxScript boxes({row.answer});
        const MessageAnswer answer =
            ShowPlatformMessageBox({owner.get(), "Caption " + std::to_string(i), "Text", row.icon, row.buttons});
        ASSERT_TRUE(boxes.Verify());
        EXPECT_EQ(row.answer, answer);
        ASSERT_EQ(1u, boxes.Met().size());
        EXPECT_EQ("Caption " + std::to_string(i), boxes.Met()[0].caption);
        EXPECT_EQ(row.icon, boxes.Met()[0].icon);
        MessageButtons buttons{};
        ASSERT_TRUE(ButtonsOfBox(boxes.Met()[0].buttons, &buttons));
        EXPECT_EQ(row.buttons, buttons);
    }
}

TEST(MessageBoxRig, AnswersASequenceOfBoxesInOrder) {
    MessageBoxScript boxes({MessageAnswer::Yes, MessageAnswer::Cancel, MessageAnswer::Ok});
    const int first = MessageBoxA(nullptr, "one", "First", MB_YESNO);
    const int second = MessageBoxA(nullptr, "two", "Second", MB_OKCANCEL);
    const int third = MessageBoxA(nullptr, "three", "Third", MB_OK);
    ASSERT_TRUE(boxes.Verify());
    EXPECT_EQ(IDYES, first);
    EXPECT_EQ(IDCANCEL, second);
    EXPECT_EQ(IDOK, third);
    ASSERT_EQ(3u, boxes.Met().size());
    EXPECT_EQ("Second", boxes.Met()[1].caption);
    EXPECT_EQ(nullptr, boxes.Met()[1].owner);
}

// A modal dialog with no controls, standing for code that waits for the user
// in a window the test did not expect.
INT_PTR CALLBACK CancellableDialog(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// One that refuses to be cancelled or closed.
INT_PTR CALLBACK StubbornDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG || message == WM_COMMAND || message == WM_CLOSE;
}

INT_PTR RunEmptyDialog(DLGPROC procedure) {
    struct alignas(DWORD) {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } dialog = {};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
    dialog.header.cx = 100;
    dialog.header.cy = 50;
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &dialog.header, nullptr, procedure, 0);
}

TEST(MessageBoxRig, ReportsEveryWayTheScriptIsNotFollowedWithinSeconds) {
    struct Row {
        const char* name;
        void (*code)();
        std::vector<MessageAnswer> answers;
        const char* fault;
    };
    // clang-format off
    const Row rows[] = {
        {"the code returns without a box", [] {}, {MessageAnswer::No}, "scripted answer 1 (No) never came"},
        {"a second box never comes", [] { MessageBoxA(nullptr, "one", "First", MB_OK); },
         {MessageAnswer::Ok, MessageAnswer::Yes}, "scripted answer 2 (Yes) never came"},
        {"a dialog waits instead", [] { RunEmptyDialog(CancellableDialog); }, {MessageAnswer::No},
         "the watchdog cancelled #32770"},
        {"a dialog will not be cancelled", [] { RunEmptyDialog(StubbornDialog); }, {},
         "ended a modal loop with WM_QUIT"},
        {"an unscripted box", [] { EXPECT_EQ(IDCANCEL, MessageBoxA(nullptr, "?", "Unexpected", MB_OKCANCEL)); },
         {}, "came after the scripted answers ran out; pressed Cancel"},
        {"the scripted button is missing", [] { EXPECT_EQ(IDOK, MessageBoxA(nullptr, "!", "Done", MB_OK)); },
         {MessageAnswer::Yes}, "has no Yes button for the scripted answer; pressed OK"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Clock::time_point start = Clock::now();
        EXPECT_NONFATAL_FAILURE(
            {
                MessageBoxScript boxes(row.answers, 1s);
                row.code();
                EXPECT_TRUE(boxes.Verify());
            },
            row.fault);
        EXPECT_LT(Clock::now() - start, 5s);
    }
}

TEST(MessageBoxRig, AScriptThatIsNotVerifiedReportsItselfWhenItEnds) {
    EXPECT_NONFATAL_FAILURE({ MessageBoxScript boxes({MessageAnswer::Ok}, 1s); }, "never came");
}

TEST(MessageBoxRig, TellsMessageBoxesFromOtherDialogs) {
    OwnerWindow plain;
    EXPECT_FALSE(IsMessageBoxWindow(plain.get()));
    EXPECT_FALSE(IsMessageBoxWindow(nullptr));
    MessageBoxScript boxes({MessageAnswer::Ok});
    MessageBoxA(nullptr, "text", "caption", MB_OK);
    EXPECT_TRUE(boxes.Verify());
}

}  // namespace
}  // namespace paylode::testrig
