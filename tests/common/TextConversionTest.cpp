// UTF-8 to and from wide text and the component's ANSI text: what ill-formed
// text becomes, in every build (the machines under test use Windows-1252).
#include "common/TextConversion.h"

#include <gtest/gtest.h>

#include <string>

namespace paylode {
namespace {

TEST(TextConversion, WideTextToUtf8WritesALoneSurrogateAsAReplacementCharacter) {
    const struct {
        WideString wide;
        std::string utf8;
    } rows[] = {
        {PAYLODE_WIDE("Caf\u00E9 \u20AC\U0001F4B7"), "Caf\xC3\xA9 \xE2\x82\xAC\xF0\x9F\x92\xB7"},
        {{0xD800}, "\xEF\xBF\xBD"},
        {{'a', 0xDC00, 'b'}, "a\xEF\xBF\xBD" "b"},
        {{0xD800, 0xD800, 0xDC00}, "\xEF\xBF\xBD\xF0\x90\x80\x80"},
        {{'a', 0, 'b'}, std::string("a\0b", 3)},
        {{}, ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].utf8, Utf8FromWide(rows[i].wide).Bytes());
    }
}

TEST(TextConversion, Utf8ToWideTextReplacesWhatIsNotUtf8) {
    const struct {
        std::string utf8;
        bool wellFormed;
        WideString wide;
    } rows[] = {
        {"Caf\xC3\xA9 \xF0\x9F\x92\xB7", true, PAYLODE_WIDE("Caf\u00E9 \U0001F4B7")},
        {"\xC3(", false, {0xFFFD, '('}},
        {"a\xE2\x82", false, {'a', 0xFFFD}},
        {"\xFF", false, {0xFFFD}},
        {"\xC0\xAF", false, {0xFFFD}},          // an overlong "/"
        {"\xED\xA0\x80", false, {0xFFFD}},      // a surrogate
        {"\xF4\x90\x80\x80", false, {0xFFFD}},  // above U+10FFFF
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].wellFormed, IsUtf8(rows[i].utf8));
        EXPECT_TRUE(rows[i].wide == WideFromUtf8(Utf8Text(rows[i].utf8)));
    }
}

TEST(TextConversion, Utf8AndAnsiTextConvertThroughTheCodePage) {
    std::string ansi;
    ASSERT_TRUE(AnsiFromUtf8(Utf8Text("Caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD"), &ansi));
    EXPECT_EQ("Caf\xE9 \x80 ?", ansi);
    EXPECT_FALSE(AnsiFromUtf8(Utf8Text("caf\xE9"), &ansi));
    EXPECT_EQ("Caf\xE9 \x80 ?", ansi) << "changed by text that is not UTF-8";
    EXPECT_EQ("Caf\xC3\xA9 \xE2\x82\xAC \xC2\x81", Utf8FromAnsi("Caf\xE9 \x80 \x81").Bytes());
}

}  // namespace
}  // namespace paylode
