// The template name's and beneficiary reference's rules on their own: what
// each outcome is and what the filtered text holds, and the template names
// that can name no bulk list template file.
#include "payments/PaymentOptionFields.h"

#include <gtest/gtest.h>

namespace paylode {
namespace {

TEST(PaymentOptionFields, OutcomesAndFilteredTexts) {
    struct Row {
        bool isTemplate;  // false: a beneficiary reference
        const char* typed;
        FieldCheck check;
        const char* filtered;
    };
    // clang-format off
    const Row rows[] = {
        {true, "abc-12 & co.", FieldCheck::Accepted, "ABC-12 & CO."},
        {true, "", FieldCheck::Empty, ""},
        {true, "   ", FieldCheck::Empty, "   "},
        {true, "AB/12", FieldCheck::InvalidCharacters, "AB12"},
        {true, "Caf\xE9", FieldCheck::InvalidCharacters, "CAF"},
        {true, "nul", FieldCheck::NotAFileName, "NUL"},
        {true, "...", FieldCheck::NotAFileName, "..."},
        // Characters are judged before the file name: dropping them may leave
        // a device's name.
        {true, "nu_l", FieldCheck::InvalidCharacters, "NUL"},
        // Only the first 20 characters are read.
        {true, "ABCDEFGHIJKLMNOPQRSTUV", FieldCheck::Accepted, "ABCDEFGHIJKLMNOPQRST"},
        {true, "ABCDEFGHIJKLMNOPQRST_", FieldCheck::Accepted, "ABCDEFGHIJKLMNOPQRST"},
        {true, "ABCDEFGHIJKLMNOPQRS_", FieldCheck::InvalidCharacters, "ABCDEFGHIJKLMNOPQRS"},
        {false, "ab/12", FieldCheck::Accepted, "AB/12"},
        {false, "", FieldCheck::Empty, ""},
        {false, "   ", FieldCheck::Accepted, "   "},
        {false, "a_b", FieldCheck::InvalidCharacters, "AB"},
        {false, "nul", FieldCheck::Accepted, "NUL"},
        // Only the first 18 characters are read.
        {false, "123456789012345678XY", FieldCheck::Accepted, "123456789012345678"},
        {false, "123456789012345678_", FieldCheck::Accepted, "123456789012345678"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        CString filtered;
        const FieldCheck check =
            row.isTemplate ? CheckTemplateName(row.typed, &filtered) : CheckBeneficiaryReference(row.typed, &filtered);
        EXPECT_EQ(row.check, check);
        EXPECT_STREQ(row.filtered, filtered);
    }
}

TEST(TemplateFileName, DevicesBlanksAndPathsAreNoFileName) {
    struct Row {
        const char* name;
        bool device;
        bool plain;
    };
    // clang-format off
    const Row rows[] = {
        {"STAFF", false, true},     {"CON", true, false},        {"prn", true, false},
        {"Aux", true, false},       {"nUl", true, false},        {"COM1", true, false},
        {"com9", true, false},      {"LPT1", true, false},       {"lpt9", true, false},
        {"Con.txt", true, false},   {"NUL.tar.gz", true, false}, {"LPT1 ", true, false},
        {"aux..", true, false},     {"NUL . txt", true, false},  {"COM1:", true, false},
        {"COM0", false, true},      {"LPT10", false, true},      {"COM", false, true},
        {"NULL", false, true},      {"CONSOLE.TXT", false, true}, {"AUX-1", false, true},
        {"A.NUL", false, true},     {"COMA", false, true},       {"", false, false},
        {"   ", false, false},      {".", false, false},         {"..", false, false},
        {"../STAFF", false, false}, {"SUB/STAFF", false, false},
        {"SUB\\STAFF", false, false}, {"...", false, false},      {". ", false, false},
        {" . .", false, false},     {"STAFF.", false, true},     {".STAFF", false, true},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.device, IsDeviceName(row.name));
        EXPECT_EQ(row.plain, IsPlainTemplateFileName(row.name));
    }
}

}  // namespace
}  // namespace paylode
