// The default payment directory check without the platform: the search
// pattern, the proposed path, drive A, the message and the buffer limits.
#include "payments/DefaultPaymentPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace paylode {
namespace {

TEST(DefaultPaymentPath, SearchPatternAndProposedPath) {
    struct Row {
        const char* directory;
        const char* pattern;
        const char* path;  // with the file name "PAY.CSV"
    };
    // clang-format off
    const Row rows[] = {
        {"D:\\Payments", "D:\\Payments\\*.*", "D:\\Payments\\PAY.CSV"},
        {"D:\\Payments\\", "D:\\Payments\\*.*", "D:\\Payments\\PAY.CSV"},
        {"a:", "a:\\*.*", "a:\\PAY.CSV"},
        {"C:\\", "C:\\*.*", "C:\\PAY.CSV"},
        {"\\\\server\\share", "\\\\server\\share\\*.*", "\\\\server\\share\\PAY.CSV"},
        {"", "\\*.*", "\\PAY.CSV"},
        {"D:\\Pay/", "D:\\Pay/\\*.*", "D:\\Pay/\\PAY.CSV"},
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << " " << rows[i].directory);
        const std::optional<std::string> pattern = SearchPatternFor(rows[i].directory);
        ASSERT_TRUE(pattern.has_value());
        EXPECT_EQ(rows[i].pattern, *pattern);
        EXPECT_EQ(rows[i].path, JoinDirectoryAndFile(rows[i].directory, "PAY.CSV"));
    }
    EXPECT_EQ("C:\\PAY.CSV", JoinDirectoryAndFile(kFallbackPaymentDirectory, "PAY.CSV"));
}

TEST(DefaultPaymentPath, APatternThatDoesNotFitItsBufferIsNoPattern) {
    // 255 characters and the backslash and "*.*" make 259, the most that fits
    // with the terminator.
    const std::string fits(255, 'x');
    ASSERT_TRUE(SearchPatternFor(fits.c_str()).has_value());
    EXPECT_EQ(259u, SearchPatternFor(fits.c_str())->size());
    EXPECT_EQ(259u, SearchPatternFor((std::string(255, 'x') + "\\").c_str())->size());
    EXPECT_FALSE(SearchPatternFor(std::string(256, 'x').c_str()).has_value());
    EXPECT_FALSE(SearchPatternFor(std::string(5000, 'x').c_str()).has_value());
}

TEST(DefaultPaymentPath, OnlyDriveAIsTakenWithoutASearch) {
    struct Row {
        const char* directory;
        bool driveA;
    };
    const Row rows[] = {{"A:", true},  {"a:", true},     {"A:\\", true}, {"a:\\", true},
                        {"B:", false}, {"A:\\x", false}, {"A:x", false}, {"AA:", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.directory);
        EXPECT_EQ(row.driveA, IsDriveAPattern(*SearchPatternFor(row.directory)));
    }
}

TEST(DefaultPaymentPath, MissingDirectoryMessageNamesTheDirectoryAsConfigured) {
    EXPECT_EQ(
        "The default payment directory (D:\\No Such/Dir\\) specified does not exist.  Please correct this within "
        "configuration for the specified banking component. The root directory (C:\\) will be used in the mean "
        "time.",
        MissingDirectoryMessage("D:\\No Such/Dir\\"));
    // A directory text with a conversion in it is shown as it stands.
    EXPECT_NE(std::string::npos, MissingDirectoryMessage("D:\\100%s%n").find("(D:\\100%s%n)"));
    EXPECT_EQ(kMissingDirectoryMessageBytes - 1, MissingDirectoryMessage(std::string(3000, 'd').c_str()).size());
}

TEST(DefaultPaymentPath, TheProposedPathIsCutToItsBuffer) {
    const std::string rows[] = {"", "C:\\PAY.CSV", std::string(1023, 'p'), std::string(1024, 'p'),
                                std::string(4000, 'p')};
    for (const std::string& path : rows) {
        SCOPED_TRACE(path.size());
        char out[kPaymentPathBytes];
        std::fill(out, out + sizeof out, '#');
        CopyPaymentPath(path, out);
        EXPECT_EQ(path.substr(0, kPaymentPathBytes - 1), std::string(out));
    }
}

}  // namespace
}  // namespace paylode
