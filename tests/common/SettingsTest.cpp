// The rules of the remembered choices that need no platform: flag forms and
// the per-account key names.
#include "common/Settings.h"

#include <gtest/gtest.h>

#include <string>

namespace paylode {
namespace {

TEST(SettingsFlag, StoredFormsReadAsTheFlagTheyMean) {
    struct Row {
        const char* stored;
        bool isTrue;
    };
    // clang-format off
    const Row rows[] = {
        {"TRUE", true}, {"true", true}, {"True", true}, {"tRuE", true}, {"YES", true}, {"yes", true},
        {"Yes", true},  {"yEs", true},  {"1", true},    {"FALSE", false}, {"false", false}, {"NO", false},
        {"no", false},  {"0", false},   {"on", false},  {"", false},      {"TRUE ", false}, {" YES", false},
        {"11", false},  {"TRU", false}, {"YESS", false}, {"2", false},
    };
    // clang-format on
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
    // clang-format off
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
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        const CString suffix = AccountKeySuffix(rows[i].haveBankDetails, rows[i].sortCode, rows[i].accountNumber);
        EXPECT_STREQ(rows[i].suffix, suffix.GetString());
        EXPECT_EQ(std::string("KelmarPaylodeTemplate") + rows[i].suffix, TemplateKey(suffix).GetString());
        EXPECT_EQ(std::string("KelmarPaylodeBenRef") + rows[i].suffix, BenRefKey(suffix).GetString());
    }
}

TEST(SettingsKeys, KeysThatWouldReadBackAsAnotherKeyOrSectionAreRefused) {
    struct Row {
        const char* accountNumber;
        bool safe;
    };
    // clang-format off
    const Row rows[] = {
        {"12345678", true},
        {"1234-5678 A", true},  // ordinary account numbers stay as they are
        {"12 34/56.78", true},
        {"ACC;01", true},
        {"", true},
        {"1234\r\n[OTHER]", false},
        {"1234\n", false},
        {"12\r34", false},
        {"12=34", false},
        {"[12345678", false},
        {"12345678]", false},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.accountNumber);
        const CString suffix = AccountKeySuffix(true, "12-34-56", row.accountNumber);
        EXPECT_EQ(row.safe, IsSafeSettingKey(TemplateKey(suffix).GetString()));
        EXPECT_EQ(row.safe, IsSafeSettingKey(BenRefKey(suffix).GetString()));
    }
    EXPECT_TRUE(IsSafeSettingKey(kRICheckStateKey));
    EXPECT_FALSE(IsSafeSettingKey(""));
    EXPECT_FALSE(IsSafeSettingKey(nullptr));
}

TEST(SettingsRead, ASizeOf259CutsAStoredValueTo258Characters) {
    EXPECT_EQ(260, kSettingBufferBytes);
    EXPECT_EQ(259, kSettingReadSize);
    EXPECT_EQ(258, kMaxSettingLength);
}

}  // namespace
}  // namespace paylode
