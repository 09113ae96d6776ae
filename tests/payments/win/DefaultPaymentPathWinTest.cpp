// Under Wine: the default payment directory check against real
// directories, with the message boxes recorded instead of shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/MessageBox.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "payments/win/DefaultPaymentPathWin.h"
#include "support/RecordedFiles.h"

namespace paylode {
namespace {

using test::MessageLog;
using test::WriteFileText;

class DefaultPaymentDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(kFull, nullptr);
        CreateDirectoryA(kEmpty, nullptr);
        WriteFileText(std::string(kFull) + "\\earlier.csv", "x");
    }
    void TearDown() override {
        DeleteFileA((std::string(kFull) + "\\earlier.csv").c_str());
        RemoveDirectoryA(kFull);
        RemoveDirectoryA(kEmpty);
    }
    static constexpr const char* kFull = "C:\\PaylodePayments";
    static constexpr const char* kEmpty = "C:\\PaylodeEmpty";
    MessageLog messages_;
};

TEST_F(DefaultPaymentDirectory, ProposesThePathOrFallsBackToTheRoot) {
    const std::string tooLong = "C:\\" + std::string(300, 'd');
    struct Row {
        const char* directory;
        const char* path;
        bool missing;
    };
    // clang-format off
    const Row rows[] = {
        {"C:\\PaylodePayments", "C:\\PaylodePayments\\PAY.CSV", false},
        {"C:\\PaylodePayments\\", "C:\\PaylodePayments\\PAY.CSV", false},
        {"c:\\paylodepayments", "c:\\paylodepayments\\PAY.CSV", false},
        {"C:\\", "C:\\PAY.CSV", false},
        {"a:", "a:\\PAY.CSV", false},
        {"A:\\", "A:\\PAY.CSV", false},
        {"C:\\PaylodeNoSuchDirectory", "C:\\PAY.CSV", true},
        {"C:\\PaylodeNoSuchDirectory\\", "C:\\PAY.CSV", true},
        {"C:\\PaylodePayments\\earlier.csv", "C:\\PAY.CSV", true},
        {"B:", "C:\\PAY.CSV", true},
        {tooLong.c_str(), "C:\\PAY.CSV", true},
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << " " << std::string(rows[i].directory).substr(0, 40));
        messages_.shown.clear();
        char path[kPaymentPathBytes];
        ResolveDefaultPaymentPath("PAY.CSV", rows[i].directory, path);
        EXPECT_STREQ(rows[i].path, path);
        ASSERT_EQ(rows[i].missing ? 1u : 0u, messages_.shown.size());
        if (rows[i].missing) {
            const MessageRequest& shown = messages_.shown[0];
            EXPECT_EQ("Invalid default path", shown.caption);
            EXPECT_EQ(MissingDirectoryMessage(rows[i].directory), shown.text);
            EXPECT_NE(std::string::npos, shown.text.find(std::string("(") + rows[i].directory + ")"));
            EXPECT_EQ(MessageIcon::Error, shown.icon);
            EXPECT_EQ(MessageButtons::Ok, shown.buttons);
        }
    }
}

TEST_F(DefaultPaymentDirectory, TheMessageIsOwnedByTheActiveWindow) {
    const HWND window = CreateWindowExA(0, "STATIC", "payments", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    SetActiveWindow(window);
    ASSERT_EQ(window, GetActiveWindow());
    char path[kPaymentPathBytes];
    ResolveDefaultPaymentPath("PAY.CSV", "C:\\PaylodeNoSuchDirectory", path);
    ASSERT_EQ(1u, messages_.shown.size());
    EXPECT_EQ(static_cast<WindowHandle>(window), messages_.shown[0].owner);
    DestroyWindow(window);
}

TEST_F(DefaultPaymentDirectory, AnEmptyDirectoryIsFoundByItsDotEntries) {
    // A wildcard search in an ordinary empty directory still finds "." and
    // "..", so the directory counts as existing; only a directory with no
    // entry at all (the root of an empty drive) counts as missing.
    WIN32_FIND_DATAA entry;
    const CFindHandle search(FindFirstFileA("C:\\PaylodeEmpty\\*.*", &entry));
    ASSERT_TRUE(search);
    EXPECT_STREQ(".", entry.cFileName);
    char path[kPaymentPathBytes];
    ResolveDefaultPaymentPath("PAY.CSV", kEmpty, path);
    EXPECT_STREQ("C:\\PaylodeEmpty\\PAY.CSV", path);
    EXPECT_TRUE(messages_.shown.empty());
}

}  // namespace
}  // namespace paylode
