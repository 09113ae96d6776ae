// Under Wine and Xvfb: the platform's save-file dialog as the payment run
// asks for it, driven through its file name box (a thread-local CBT hook
// meets the dialog, a zero-delay timer types and presses the button), once
// saved and once cancelled. The test checks that it met the dialog, since a
// dialog that cannot be shown also ends without a file.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/win/Platform.h"
#include "payments/win/PaymentRun.h"
#include "payments/win/SaveFileDialog.h"
#include "support/MessageBoxRig.h"

namespace paylode {
namespace {

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

class PlatformSaveFileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "paylode-save-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        request_.filter = PaymentFileFilter();
        request_.defaultExtension = "txt";
        request_.initialPath = folder_ + "\\Payments";
    }
    void TearDown() override { RemoveDirectoryA(folder_.c_str()); }

    std::string folder_;
    SaveFileRequest request_;
};

TEST_F(PlatformSaveFileDialog, SavesUnderTheTypedNameWithTheDefaultExtension) {
    testrig::MessageBoxScript watchdog({});
    CSaveDialogDriver driver(folder_ + "\\chosen");
    const std::optional<std::string> path = ShowPlatformSaveFileDialog(request_);
    EXPECT_TRUE(watchdog.Verify());
    ASSERT_TRUE(driver.met) << "the save-file dialog was never shown";
    EXPECT_NE(std::string::npos, driver.proposed.find("Payments")) << driver.proposed;
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(folder_ + "\\chosen.txt", *path);
}

TEST_F(PlatformSaveFileDialog, CancelGivesNoPath) {
    testrig::MessageBoxScript watchdog({});
    CSaveDialogDriver driver("");
    const std::optional<std::string> path = ShowPlatformSaveFileDialog(request_);
    EXPECT_TRUE(watchdog.Verify());
    ASSERT_TRUE(driver.met) << "the save-file dialog was never shown";
    EXPECT_FALSE(path.has_value());
}

}  // namespace
}  // namespace paylode
