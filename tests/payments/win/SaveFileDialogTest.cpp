// Under Wine and Xvfb: the platform's save-file dialog as the payment run
// asks for it, driven through its file name box (a thread-local CBT hook
// meets the dialog, a zero-delay timer types and presses the button), once
// saved and once cancelled. The test checks that it met the dialog, since a
// dialog that cannot be shown also ends without a file.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/win/Platform.h"
#include "common/TextConversion.h"
#include "payments/win/PaymentRun.h"
#include "payments/win/SaveFileDialog.h"
#include "referencehost/DialogDrivers.h"
#include "support/MessageBoxRig.h"

namespace paylode {
namespace {

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
    const SaveFileChoice choice = ShowPlatformSaveFileDialog(request_);
    const std::optional<std::string>& path = choice.path;
    EXPECT_TRUE(watchdog.Verify());
    ASSERT_TRUE(driver.met) << "the save-file dialog was never shown";
    EXPECT_NE(std::string::npos, driver.proposed.find("Payments")) << driver.proposed;
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(folder_ + "\\chosen.txt", *path);
}

TEST_F(PlatformSaveFileDialog, CancelGivesNoPath) {
    testrig::MessageBoxScript watchdog({});
    CSaveDialogDriver driver("");
    const SaveFileChoice choice = ShowPlatformSaveFileDialog(request_);
    const std::optional<std::string>& path = choice.path;
    EXPECT_TRUE(watchdog.Verify());
    ASSERT_TRUE(driver.met) << "the save-file dialog was never shown";
    EXPECT_FALSE(path.has_value());
    EXPECT_EQ(0u, choice.failure) << "a cancel is no failure";
}

// A name the code page cannot hold as typed would come back in a best-fit
// spelling that names another file: the user is told, and no path is given.
TEST_F(PlatformSaveFileDialog, ANameTheCodePageCannotHoldGivesNoPath) {
    testrig::MessageBoxScript boxes({MessageAnswer::Ok});
    CSaveDialogDriver driver(WideFromAnsi(folder_.c_str()) + L"\\\u0141\u00F3d\u017A");
    const SaveFileChoice choice = ShowPlatformSaveFileDialog(request_);
    const std::optional<std::string>& path = choice.path;
    EXPECT_TRUE(boxes.Verify());
    ASSERT_TRUE(driver.met) << "the save-file dialog was never shown";
    EXPECT_FALSE(path.has_value()) << *path;
}

}  // namespace
}  // namespace paylode
