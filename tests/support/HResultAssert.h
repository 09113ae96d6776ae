// HRESULT checks that print both codes in hex at the caller's line:
//
//   EXPECT_HR(S_OK, object->GetName(&name));
//   ASSERT_HR(0x800AFFFC, service.GetServiceStatus(nullptr));
//
// The expected code may be written as a signed HRESULT or as its unsigned
// 0x8... form.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace paylode::test {

inline std::string HResultText(std::uint32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
    return text;
}

template <typename Expected, typename Actual>
testing::AssertionResult HResultsEqual(const char* expectedText, const char* actualText, Expected expected,
                                       Actual actual) {
    const auto want = static_cast<std::uint32_t>(expected);
    const auto got = static_cast<std::uint32_t>(actual);
    if (want == got) return testing::AssertionSuccess();
    return testing::AssertionFailure() << actualText << " gave " << HResultText(got) << ", expected "
                                       << HResultText(want) << " (" << expectedText << ")";
}

}  // namespace paylode::test

#define EXPECT_HR(expected, actual) EXPECT_PRED_FORMAT2(::paylode::test::HResultsEqual, expected, actual)
#define ASSERT_HR(expected, actual) ASSERT_PRED_FORMAT2(::paylode::test::HResultsEqual, expected, actual)
