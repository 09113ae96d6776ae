// Under Wine: the version information and the string table of the built
// DLL, read the way Windows and the component read them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PaylodeVersion.h"
#include "common/CString.h"
#include "common/win/Platform.h"
#include "payments/StatusTexts.h"

namespace paylode::test {
namespace {

std::wstring DllPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path, length);
    return result.substr(0, result.find_last_of(L"\\/") + 1) + L"TorvoKelmarBankPaylode.DLL";
}

class ComponentVersion : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeW(DllPath().c_str(), &handle);
        ASSERT_NE(0u, size) << GetLastError();
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(DllPath().c_str(), 0, size, block_.data())) << GetLastError();
    }
    void* Query(const wchar_t* path, UINT* length) {
        void* value = nullptr;
        if (!VerQueryValueW(block_.data(), path, &value, length)) return nullptr;
        return value;
    }
    std::vector<unsigned char> block_;
};

// The project's version, as CMakeLists.txt gives it.
TEST_F(ComponentVersion, FileAndProductVersionAreTheProjectVersion) {
    constexpr DWORD kMost = (PAYLODE_VERSION_MAJOR << 16) | PAYLODE_VERSION_MINOR;
    constexpr DWORD kLeast = (PAYLODE_VERSION_PATCH << 16) | PAYLODE_VERSION_TWEAK;
    UINT length = 0;
    auto* fixed = static_cast<VS_FIXEDFILEINFO*>(Query(L"\\", &length));
    ASSERT_NE(nullptr, fixed);
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(kMost, fixed->dwFileVersionMS);
    EXPECT_EQ(kLeast, fixed->dwFileVersionLS);
    EXPECT_EQ(kMost, fixed->dwProductVersionMS);
    EXPECT_EQ(kLeast, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
}

TEST_F(ComponentVersion, IsUsEnglishInUnicode) {
    UINT length = 0;
    auto* translation = static_cast<WORD*>(Query(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(nullptr, translation);
    ASSERT_EQ(2 * sizeof(WORD), length);
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(1200, translation[1]);
}

TEST_F(ComponentVersion, NamesTheModule) {
    const struct {
        const wchar_t* field;
        const wchar_t* value;
    } rows[] = {
        {L"FileDescription", L"TorvoKelmarBankPaylode Module"},
        {L"ProductName", L"TorvoKelmarBankPaylode Module"},
        {L"InternalName", L"TorvoKelmarBankPaylode"},
        {L"OriginalFilename", L"TorvoKelmarBankPaylode.DLL"},
    };
    for (const auto& row : rows) {
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + row.field;
        SCOPED_TRACE(testing::Message() << std::string(path.begin(), path.end()));
        UINT length = 0;
        auto* value = static_cast<const wchar_t*>(Query(path.c_str(), &length));
        ASSERT_NE(nullptr, value);
        EXPECT_EQ(std::wstring(row.value), value);
    }
}

class ComponentStrings : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExW(DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module_) << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

struct StringRow {
    unsigned id;
    const char* text;
};

// clang-format off
const StringRow kStrings[] = {
    {100, "TorvoKelmarBankPaylode"},
    {300, "Payment processed successfully."},
    {320, "This payment is valid but the payment batch has been rejected because of errors elsewhere."},
    {321, "Invalid Amount specified for payment: negative payments not supported."},
    {322, "Invalid Payer BACS Reference. This value must comprise only numeric values, and be no more than 4 "
          "digits long."},
    {323, "Invalid Payer Sort Code: the sort code must contain exactly 6 digits."},
    {324, "Invalid Payer Bank Account Number: the account number must be 8 digits and a numeric value."},
    {325, "Invalid or missing Payer bank account name."},
    {326, "Invalid or missing Payer Building Society roll number."},
    {327, "Invalid Payee BACS Reference. This value must comprise only numeric values, and be no more than 4 "
          "digits long."},
    {328, "Invalid Payee Sort Code: the sort code must contain exactly 6 digits."},
    {329, "Invalid Payee Bank Account Number: the account number must be 8 digits and a numeric value."},
    {330, "Invalid or missing Payee bank account name."},
    {331, "Invalid or missing Payee Building Society roll number."},
    {332, "Invalid or missing reference field."},
    {333, "Invalid or missing details field."},
    {334, "Invalid or unknown currency specified."},
    {335, "An error occurred with the status field."},
    {340, "Too many payment instructions have been submitted. Kelmar Bank Paylode supports a maximum of 4000 "
          "payments in a single file."},
    {403, "This option produces Standard Domestic(BACS) and Inter Account Transfer (IAT) Payments."},
    {404, "This option uses a template to make Standard Domestic or Inter Account Payments."},
    {405, "This option uses a Bulk List template to make multiple payments (no IATs)."},
    {406, "This option is to produce a single debit multi credit payment that does not have to be made against "
          "any existing Paylode bulk list"},
    {407, "Next Available BACS Crediting Date:"},
    {408, "Next Available EURO Crediting Date:"},
    {409, "This option produces Standard Domestic(EURO) and Inter Account Transfer (IAT) Payments."},
};
// clang-format on

TEST_F(ComponentStrings, EachTextIsWhole) {
    for (const auto& row : kStrings) {
        SCOPED_TRACE(row.id);
        CString text;
        EXPECT_TRUE(text.LoadString(module_, row.id));
        EXPECT_STREQ(row.text, text.GetString());
    }
}

TEST_F(ComponentStrings, IdentifiersAroundTheTextsHaveNone) {
    // Status codes 1 to 19 and 36 to 39 have no text, nor have the neighbours
    // of the other blocks.
    std::vector<unsigned> empty = {99, 101, 299, 336, 337, 338, 339, 341, 400, 401, 402, 410};
    for (unsigned id = 301; id <= 319; ++id) empty.push_back(id);
    for (unsigned id : empty) {
        SCOPED_TRACE(id);
        char text[16] = "untouched";
        EXPECT_EQ(0, LoadStringA(module_, id, text, sizeof text));
        CString loaded;
        EXPECT_FALSE(loaded.LoadString(module_, id));
    }
}

// The status texts exist twice: in the DLL's string table, which the host
// reads through the payment service, and in the core, which the paylode
// tool prints. Every code has the same text in both, or none in both.
TEST_F(ComponentStrings, EveryStatusCodeHasTheSameTextInTheStringTableAndTheCore) {
    for (long code = 0; code <= 39; ++code) {
        SCOPED_TRACE(code);
        CString loaded;
        const bool inTable = loaded.LoadString(module_, static_cast<unsigned>(300 + code));
        const char* core = PaymentStatusText(code);
        ASSERT_EQ(inTable, core != nullptr);
        if (core != nullptr) {
            EXPECT_STREQ(core, loaded.GetString());
        }
    }
}

}  // namespace
}  // namespace paylode::test
