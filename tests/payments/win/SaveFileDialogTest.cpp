// Under Wine and Xvfb: the platform's save-file dialog as the payment run
// asks for it, driven through its file name box (a thread-local CBT hook
// meets the dialog, a zero-delay timer types and presses the button), once
// saved and once cancelled. The test checks that it met the dialog, since a
// dialog that cannot be shown also ends without a file.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <commdlg.h>

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

// Wine's dialog fails, rather than cancels, when the folder it shows and a
// short typed name make a path longer than the buffer: the run is told the
// extended error. (A typed name of 250 characters or more would end Wine's
// dialog process itself, so the length comes from the folder.)
TEST_F(PlatformSaveFileDialog, APathLongerThanTheBufferIsAFailureNotACancel) {
    std::string deep = folder_;
    std::vector<std::string> made;
    while (deep.size() < 220) {
        deep += "\" + std::string(40, 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
        made.push_back(deep);
    }
    request_.initialPath = deep + "\Payments";
    testrig::MessageBoxScript watchdog({});
    CSaveDialogDriver driver(std::string(60, 'n'));
    const SaveFileChoice choice = ShowPlatformSaveFileDialog(request_);
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder) RemoveDirectoryA(folder->c_str());
    EXPECT_TRUE(watchdog.Verify());
    ASSERT_TRUE(driver.met) << "the save-file dialog was never shown";
    EXPECT_FALSE(choice.path.has_value()) << *choice.path;
    EXPECT_EQ(static_cast<unsigned long>(FNERR_BUFFERTOOSMALL), choice.failure);
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
