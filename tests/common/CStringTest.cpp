// CString: buffer rules, null rules, bounds and formatting. Runs natively and
// under Wine, where the wide conversion is the platform's.
#include "common/CString.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>

#include "common/HResult.h"
#include "common/TextConversion.h"

namespace paylode {
namespace {

#define EXPECT_THROWS_HRESULT(statement, code)                                              \
    do {                                                                                    \
        try {                                                                               \
            statement;                                                                      \
            ADD_FAILURE() << "no exception from " #statement;                               \
        } catch (const CFailure& thrown) {                                                  \
            EXPECT_EQ(static_cast<std::uint32_t>(code), static_cast<std::uint32_t>(thrown.Code())) \
                << "thrown " << thrown.Text();                                              \
        }                                                                                   \
    } while (0)

TEST(CString, EmptyReadsAsEmptyTextWithNoBuffer) {
    CString empty;
    EXPECT_NE(nullptr, empty.GetString());
    EXPECT_STREQ("", empty);
    EXPECT_EQ(0, empty.GetLength());
    EXPECT_EQ(0u, empty.GetBufferSize());
    CString copy(empty);
    EXPECT_STREQ("", copy);
    EXPECT_EQ(0u, copy.GetBufferSize());
}

TEST(CString, ConstructionTakesExactlyTheNeededBuffer) {
    CString text("abc");
    EXPECT_STREQ("abc", text);
    EXPECT_EQ(4u, text.GetBufferSize());
    CString copy(text);
    EXPECT_STREQ("abc", copy);
    EXPECT_EQ(4u, copy.GetBufferSize());
    EXPECT_NE(text.GetString(), copy.GetString()) << "a copy owns its own buffer";
}

TEST(CString, AssignmentReusesALargeEnoughBufferAndOtherwiseReplacesItExactly) {
    struct Row {
        const char* first;
        const char* second;
        bool reused;
        std::size_t sizeAfter;
    };
    // clang-format off
    const Row rows[] = {
        {"abcdef", "xyz", true, 7},   // shorter: same buffer, still 7 bytes
        {"abcdef", "uvwxyz", true, 7},  // exact fit
        {"abc", "abcd", false, 5},    // one too long: a buffer of exactly 5
        {"abc", "", true, 4},         // empty text keeps the buffer
        {"", "abcdefghij", false, 11},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CString text(rows[i].first);
        const char* before = text.GetString();
        text = rows[i].second;
        EXPECT_STREQ(rows[i].second, text);
        EXPECT_EQ(rows[i].sizeAfter, text.GetBufferSize());
        if (rows[i].reused) {
            EXPECT_EQ(before, text.GetString());
        }
    }
}

TEST(CString, AssignmentFromAnotherCStringFollowsTheSameRule) {
    CString big("0123456789");
    const char* buffer = big.GetString();
    big = CString("short");
    EXPECT_EQ(buffer, big.GetString());
    EXPECT_EQ(11u, big.GetBufferSize());
    CString grown("ab");
    grown = big;
    EXPECT_STREQ("short", grown);
    EXPECT_EQ(6u, grown.GetBufferSize());
}

TEST(CString, SelfAssignmentAndSelfAppendKeepTheText) {
    CString text("abc");
    const CString& same = text;
    text = same;
    EXPECT_STREQ("abc", text);
    text = text.GetString();
    EXPECT_STREQ("abc", text);
    text += same;
    EXPECT_STREQ("abcabc", text);
    EXPECT_EQ(7u, text.GetBufferSize());
    text += text.GetString() + 3;
    EXPECT_STREQ("abcabcabc", text);
}

// SetString takes counted text (a field inside a line) and Empty keeps the
// buffer, so that a record reused line after line does not allocate.
TEST(CString, SetStringTakesCountedTextAndEmptyKeepsTheBuffer) {
    CString text("abcdef");
    text.SetString("xyz,rest", 3);
    EXPECT_STREQ("xyz", text.GetString());
    EXPECT_EQ(7u, text.GetBufferSize());
    text.SetString(text.GetString() + 1, 2);  // from its own buffer
    EXPECT_STREQ("yz", text.GetString());
    text.SetString("a\0b", 3);  // an embedded zero still ends the text
    EXPECT_EQ(1, text.GetLength());
    text.SetString("0123456789", 10);
    EXPECT_EQ(11u, text.GetBufferSize());
    text.Empty();
    EXPECT_STREQ("", text.GetString());
    EXPECT_EQ(11u, text.GetBufferSize());
    text.SetString(nullptr, 0);
    EXPECT_STREQ("", text.GetString());
    EXPECT_THROWS_HRESULT(text.SetString(nullptr, 1), kInvalidArg);
    EXPECT_THROWS_HRESULT(text.SetString("abc", -1), kInvalidArg);
    CString none;
    none.Empty();
    EXPECT_EQ(0u, none.GetBufferSize());
}

TEST(CString, AppendGrowsToExactlyTheNewLength) {
    CString text("ab");
    text += "cd";
    EXPECT_STREQ("abcd", text);
    EXPECT_EQ(5u, text.GetBufferSize());
    text += CString("e");
    EXPECT_EQ(6u, text.GetBufferSize());
    text += PAYLODE_WIDE("fg");
    EXPECT_STREQ("abcdefg", text);
    EXPECT_EQ(8u, text.GetBufferSize());
    text += "";
    EXPECT_EQ(8u, text.GetBufferSize());

    CString reused("0123456789");
    reused = "ab";
    reused += "cd";  // fits in the 11 bytes already held
    EXPECT_STREQ("abcd", reused);
    EXPECT_EQ(11u, reused.GetBufferSize());
}

TEST(CString, JoiningMakesANewString) {
    const CString left("Kelmar ");
    EXPECT_STREQ("Kelmar Bank", left + CString("Bank"));
    EXPECT_STREQ("Kelmar Bank", left + "Bank");
    EXPECT_STREQ("Kelmar ", left);
    EXPECT_THROWS_HRESULT(left + static_cast<const char*>(nullptr), kInvalidArg);
}

TEST(CString, NullPointerRules) {
    const char* nullText = nullptr;
    const WideChar* nullWide = nullptr;
    CString text("keep");
    EXPECT_THROWS_HRESULT(CString bad(nullText), kInvalidArg);
    EXPECT_THROWS_HRESULT(text = nullText, kInvalidArg);
    EXPECT_THROWS_HRESULT(text += nullText, kInvalidArg);
    EXPECT_THROWS_HRESULT(text += nullWide, kInvalidArg);
    EXPECT_THROWS_HRESULT(text.Compare(nullptr), kInvalidArg);
    EXPECT_THROWS_HRESULT(text.Format(nullptr), kInvalidArg);
    EXPECT_STREQ("keep", text) << "a refused argument leaves the text";

    CString fromNullWide(nullWide);
    EXPECT_STREQ("", fromNullWide);
    text = nullWide;
    EXPECT_STREQ("", text);
}

TEST(CString, NoMemoryForTheWideConversionIsOutOfMemory) {
    struct Row {
        const char* what;
        std::function<void(CString&)> convert;
    };
    // clang-format off
    const Row rows[] = {
        {"construction", [](CString&) { CString made(PAYLODE_WIDE("wide")); }},
        {"assignment", [](CString& text) { text = PAYLODE_WIDE("wide"); }},
        {"appending", [](CString& text) { text += PAYLODE_WIDE("wide"); }},
    };
    // clang-format on
    TextConversionSeam::Override noMemory([](const WideChar*, int) -> std::string { throw std::bad_alloc(); });
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CString text("keep");
        EXPECT_THROWS_HRESULT(row.convert(text), kOutOfMemory);
        EXPECT_STREQ("keep", text) << "the text is left as it was";
    }
}

TEST(CString, AnEmbeddedZeroEndsTheText) {
    const char withZero[] = {'a', 'b', '\0', 'c', 'd', '\0'};
    CString text(withZero);
    EXPECT_EQ(2, text.GetLength());
    EXPECT_EQ(3u, text.GetBufferSize());
    const WideChar wideWithZero[] = {'x', 0, 'y', 0};
    text = wideWithZero;
    EXPECT_STREQ("x", text);
    EXPECT_EQ(1, text.GetLength());
}

TEST(CString, WideTextIsConvertedToTheCodePage) {
    struct Row {
        const WideChar* wide;
        std::string ansi;
    };
    // clang-format off
    const Row rows[] = {
        {PAYLODE_WIDE("plain"), "plain"},
        {PAYLODE_WIDE("caf\u00E9 \u00A3"), "caf\xE9 \xA3"},  // Latin-1 part of 1252
        {PAYLODE_WIDE("\u20AC\u2019"), "\x80\x92"},          // 1252's own 0x80-0x9F
        {PAYLODE_WIDE("\u0141\u00F3d\u017A"), "L\xF3" "dz"}, // best fit for the letters outside 1252
        {PAYLODE_WIDE("\u4E2D"), "?"},                       // no 1252 character
        {PAYLODE_WIDE("\U0001F600"), "??"},                  // a surrogate pair: one per half
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CString text(rows[i].wide);
        EXPECT_EQ(rows[i].ansi, std::string(text.GetString()));
        EXPECT_EQ(rows[i].ansi.size() + 1, text.GetBufferSize());
    }
}

TEST(CString, GetAtChecksItsIndex) {
    const CString text("abc");
    EXPECT_EQ('a', text.GetAt(0));
    EXPECT_EQ('c', text.GetAt(2));
    EXPECT_THROWS_HRESULT(text.GetAt(3), kInvalidArg);
    EXPECT_THROWS_HRESULT(text.GetAt(-1), kInvalidArg);
    EXPECT_THROWS_HRESULT(CString().GetAt(0), kInvalidArg);
}

TEST(CString, CompareIsByteWiseAndCaseSensitive) {
    const CString text("Bank");
    EXPECT_EQ(0, text.Compare("Bank"));
    EXPECT_LT(text.Compare("bank"), 0);
    EXPECT_GT(text.Compare("Ban"), 0);
    EXPECT_LT(text.Compare("Bank\xE9"), 0);
    EXPECT_GT(CString("\xE9").Compare("z"), 0) << "bytes compare unsigned";
    EXPECT_TRUE(text == CString("Bank"));
    EXPECT_FALSE(text == CString("BANK"));
    EXPECT_TRUE(CString() == CString(""));
}

TEST(CString, FindAndReverseFind) {
    struct Row {
        const char* text;
        char c;
        int first;
        int last;
    };
    // clang-format off
    const Row rows[] = {
        {"C:\\dir\\file.txt", '\\', 2, 6},
        {"abc", 'x', -1, -1},
        {"", 'a', -1, -1},
        {"aaa", 'a', 0, 2},
        {"abc", '\0', -1, -1},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const CString text(rows[i].text);
        EXPECT_EQ(rows[i].first, text.Find(rows[i].c));
        EXPECT_EQ(rows[i].last, text.ReverseFind(rows[i].c));
    }
}

TEST(CString, LeftAndMid) {
    const CString text("abcdef");
    EXPECT_STREQ("abc", text.Left(3));
    EXPECT_STREQ("abcdef", text.Left(6));
    EXPECT_STREQ("abcdef", text.Left(40)) << "never padded";
    EXPECT_STREQ("", text.Left(0));
    EXPECT_EQ(4u, text.Left(3).GetBufferSize());
    EXPECT_STREQ("cd", text.Mid(2, 2));
    EXPECT_STREQ("ef", text.Mid(4, 10)) << "count cut back to what is left";
    EXPECT_STREQ("f", text.Mid(5, 1));
    EXPECT_STREQ("", text.Mid(6, 1)) << "start at the end gives nothing";
    EXPECT_THROWS_HRESULT(text.Mid(7, 1), kInvalidArg);
    EXPECT_THROWS_HRESULT(text.Mid(-1, 1), kInvalidArg);
    EXPECT_THROWS_HRESULT(text.Mid(0, -1), kInvalidArg);
    EXPECT_THROWS_HRESULT(text.Left(-1), kInvalidArg);
}

TEST(CString, FormatIsBoundedAt255Characters) {
    CString text;
    text.Format("%02d%02d%04d", 5, 3, 2024);
    EXPECT_STREQ("05032024", text);
    text.Format("%.2f", -12.5);
    EXPECT_STREQ("-12.50", text);
    text.Format("%d day%s", 2, "s");
    EXPECT_STREQ("2 days", text);

    const std::string at(255, 'x');
    text.Format("%s", at.c_str());
    EXPECT_EQ(255, text.GetLength());
    EXPECT_EQ(256u, text.GetBufferSize());

    const std::string past(300, 'y');
    text.Format("%s!", past.c_str());
    EXPECT_EQ(255, text.GetLength());
    EXPECT_EQ(std::string(255, 'y'), std::string(text.GetString()));

    text.Format("%s", "");
    EXPECT_STREQ("", text);
}

}  // namespace
}  // namespace paylode
