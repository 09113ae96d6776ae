// Under Wine: the portable Windows-1252 table against the platform's own
// conversion, and the CString operations that need the platform.
#include <gtest/gtest.h>

#include <string>

#include "common/CString.h"
#include "common/Cp1252.h"
#include "common/HResult.h"
#include "common/win/Platform.h"
#include "support/TestStrings.h"
#include "common/TextConversion.h"
#include "common/win/Owners.h"

namespace paylode {
namespace {

TEST(Cp1252, TheMachineUnderTestUsesCodePage1252) { ASSERT_EQ(1252u, GetACP()); }

TEST(Cp1252, EveryCodeUnitConvertsAsThePlatformDoes) {
    int mismatches = 0;
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
        const wchar_t wide = static_cast<wchar_t>(unit);
        char platform[8] = {};
        ASSERT_EQ(1, WideCharToMultiByte(CP_ACP, 0, &wide, 1, platform, sizeof platform, nullptr, nullptr))
            << std::hex << unit;
        const char portable = Cp1252FromUtf16(static_cast<char16_t>(unit));
        if (portable != platform[0] && ++mismatches <= 10) {
            ADD_FAILURE() << std::hex << "U+" << unit << ": platform 0x" << (platform[0] & 0xFF) << ", table 0x"
                          << (portable & 0xFF);
        }
    }
    EXPECT_EQ(0, mismatches);
}

TEST(Cp1252, EveryByteConvertsBackAsThePlatformDoes) {
    for (unsigned byte = 1; byte <= 0xFF; ++byte) {
        const char narrow = static_cast<char>(byte);
        wchar_t platform = 0;
        ASSERT_EQ(1, MultiByteToWideChar(1252, 0, &narrow, 1, &platform, 1));
        EXPECT_EQ(static_cast<unsigned>(platform),
                  static_cast<unsigned>(Utf16FromCp1252(static_cast<unsigned char>(byte))))
            << std::hex << byte;
    }
}

TEST(CStringWindows, AllocSysStringMakesANewBstrFromTheAnsiText) {
    const CString text("Caf\xE9 \x80");
    const CBstr bstr = CBstr::Adopt(text.AllocSysString());
    ASSERT_NE(nullptr, bstr.Get());
    EXPECT_EQ(6u, bstr.Length());
    EXPECT_EQ(std::wstring(L"Caf\u00E9 \u20AC"), std::wstring(bstr.Get()));

    const CBstr empty = CBstr::Adopt(CString().AllocSysString());
    ASSERT_NE(nullptr, empty.Get()) << "an empty text is an empty BSTR, not a null one";
    EXPECT_EQ(0u, empty.Length());
}

TEST(CStringWindows, LoadStringReadsAtMost255Characters) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    struct Row {
        unsigned id;
        bool found;
        std::string text;
    };
    std::string long255;
    for (int i = 0; i < 255; ++i) long255 += static_cast<char>('A' + i % 26);
    // clang-format off
    const Row rows[] = {
        {IDS_TEST_SHORT, true, "Payment processed successfully."},
        {IDS_TEST_LONG, true, long255},
        {IDS_TEST_ANSI, true, "Caf\xE9 \xA3"},
        {IDS_TEST_MISSING, false, "unchanged"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        CString text("unchanged");
        EXPECT_EQ(row.found, text.LoadString(self, row.id));
        EXPECT_EQ(row.text, std::string(text.GetString()));
    }
}

TEST(WinText, WideFromAnsiUsesTheCodePage) {
    EXPECT_EQ(std::wstring(L"\u20AC1"), WideFromAnsi("\x80"
                                                     "1"));
    EXPECT_EQ(std::wstring(), WideFromAnsi(nullptr));
    EXPECT_EQ(std::wstring(L"ab"), WideFromAnsi("abc", 2));
}

// A path crosses to the code page only character for character: best fit
// would open another file ("Lodz.csv"), or climb out of its folder.
TEST(WinText, ExactAnsiFromWideRefusesBestFitAndDefaultCharacters) {
    const struct {
        const wchar_t* text;
        bool exact;
        const char* ansi;
    } rows[] = {
        {L"C:\\S\\jan.csv", true, "C:\\S\\jan.csv"},
        {L"C:\\S\\Caf\u00E9 \u20AC.csv", true, "C:\\S\\Caf\xE9 \x80.csv"},
        {L"C:\\S\\\u0141\u00F3d\u017A.csv", false, ""},        // Lodz by best fit
        {L"C:\\S\\\uFF3C\uFF0E\uFF0E\uFF3Cx.csv", false, ""},  // fullwidth \..\ by best fit
        {L"C:\\S\\\u4E2D.csv", false, ""},                     // the default character "?"
        {L"", true, ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        std::string ansi = "left over";
        EXPECT_EQ(rows[i].exact, ExactAnsiFromWide(rows[i].text, static_cast<int>(wcslen(rows[i].text)), &ansi));
        EXPECT_EQ(rows[i].ansi, ansi);
    }
}

// The console and the files of the host program take UTF-8 as the platform
// writes it, a surrogate without its other half included.
TEST(WinText, Utf8FromWideWritesWhatThePlatformWrites) {
    const wchar_t* const rows[] = {L"Caf\u00E9 \u20AC\U0001F4B7", L"\xD800", L"a\xDC00" L"b", L"\xD800\xD800\xDC00",
                                   L"\xDBFF"};
    for (const wchar_t* row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row)));
        const int length = lstrlenW(row);
        const int size = WideCharToMultiByte(CP_UTF8, 0, row, length, nullptr, 0, nullptr, nullptr);
        std::string platform(static_cast<std::size_t>(size), '\0');
        ASSERT_EQ(size, WideCharToMultiByte(CP_UTF8, 0, row, length, platform.data(), size, nullptr, nullptr));
        EXPECT_EQ(platform, Utf8FromWide(row).Bytes());
    }
}

}  // namespace
}  // namespace paylode
