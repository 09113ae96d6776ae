// The rules of the remembered choices that need no platform: flag forms, the
// per-account key names, and the path building of the default payment
// directory check.
#include "common/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace paylode {
namespace {

TEST(SettingsFlag, StoredFormsReadAsTheFlagTheyMean) {
    struct Row {
        const char* stored;
        bool isTrue;
    };
    const Row rows[] = {
        {"TRUE", true}, {"true", true}, {"True", true}, {"tRuE", true}, {"YES", true}, {"yes", true},
        {"Yes", true},  {"yEs", true},  {"1", true},    {"FALSE", false}, {"false", false}, {"NO", false},
        {"no", false},  {"0", false},   {"on", false},  {"", false},      {"TRUE ", false}, {" YES", false},
        {"11", false},  {"TRU", false}, {"YESS", false}, {"2", false},
    };
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << " \"" << rows[i].stored << "\"");
        EXPECT_EQ(rows[i].isTrue, IsTrueFlagText(rows[i].stored));
    }
    EXPECT_FALSE(IsTrueFlagText(nullptr));
}

TEST(SettingsFlag, WrittenAsTrueOrFalseAndReadsBack) {
    for (int flag : {0, 1, -1, 2, 40}) {
        SCOPED_TRACE(flag);
        EXPECT_STREQ(flag != 0 ? "TRUE" : "FALSE", FlagText(flag));
        EXPECT_EQ(flag != 0, IsTrueFlagText(FlagText(flag)));
    }
}

TEST(SettingsKeys, EachPayingAccountHasItsOwnKeys) {
    struct Row {
        bool haveBankDetails;
        const char* sortCode;  // null: the question failed
        const char* accountNumber;
        const char* suffix;
    };
    const Row rows[] = {
        {true, "12-34-56", "12345678", "123456_12345678"},
        {true, "12 34 56", "12345678", "123456_12345678"},
        {true, "123456", "12345678", "123456_12345678"},
        {true, "SC 12/34/56", "12345678", "123456_12345678"},
        // The account number is kept as it stands.
        {true, "123456", "1234-5678 A", "123456_1234-5678 A"},
        {true, nullptr, "12345678", "_12345678"},
        {true, "12-34-56", nullptr, "123456_"},
        {true, nullptr, nullptr, "_"},
        {true, "", "", "_"},
        {false, "12-34-56", "12345678", ""},
    };
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        const CString suffix = AccountKeySuffix(rows[i].haveBankDetails, rows[i].sortCode, rows[i].accountNumber);
        EXPECT_STREQ(rows[i].suffix, suffix.GetString());
        EXPECT_EQ(std::string("KelmarPaylodeTemplate") + rows[i].suffix, TemplateKey(suffix).GetString());
        EXPECT_EQ(std::string("KelmarPaylodeBenRef") + rows[i].suffix, BenRefKey(suffix).GetString());
    }
}

TEST(SettingsRead, ASizeOf259CutsAStoredValueTo258Characters) {
    EXPECT_EQ(260, kSettingBufferBytes);
    EXPECT_EQ(259, kSettingReadSize);
    EXPECT_EQ(258, kMaxSettingLength);
}

TEST(DefaultPaymentPath, SearchPatternAndProposedPath) {
    struct Row {
        const char* directory;
        const char* pattern;
        const char* path;  // with the file name "PAY.CSV"
    };
    const Row rows[] = {
        {"D:\\Payments", "D:\\Payments\\*.*", "D:\\Payments\\PAY.CSV"},
        {"D:\\Payments\\", "D:\\Payments\\*.*", "D:\\Payments\\PAY.CSV"},
        {"a:", "a:\\*.*", "a:\\PAY.CSV"},
        {"C:\\", "C:\\*.*", "C:\\PAY.CSV"},
        {"\\\\server\\share", "\\\\server\\share\\*.*", "\\\\server\\share\\PAY.CSV"},
        {"", "\\*.*", "\\PAY.CSV"},
        {"D:\\Pay/", "D:\\Pay/\\*.*", "D:\\Pay/\\PAY.CSV"},
    };
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
    const Row rows[] = {{"A:", true},  {"a:", true},   {"A:\\", true},      {"a:\\", true},
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
