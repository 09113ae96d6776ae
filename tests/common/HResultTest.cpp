// The one thrown failure type names the place of the throw: the caller's
// file and line, also through the helpers that throw for their callers.
#include "common/HResult.h"

#include <gtest/gtest.h>

#include <string>

namespace paylode {
namespace {

TEST(Failure, NamesTheFileAndLineOfTheThrowingCall) {
    struct Row {
        void (*thrower)();
        HResult code;
        int line;
    };
    // clang-format off
    const Row rows[] = {
        {[] { ThrowHResult(kNotImplemented); }, kNotImplemented, __LINE__},
        {[] { RequireArgument(false); }, kInvalidArg, __LINE__},  // the helper's caller, not the helper
    };
    // clang-format on
    for (const Row& row : rows) {
        try {
            row.thrower();
            ADD_FAILURE() << "nothing thrown";
        } catch (const CFailure& failure) {
            EXPECT_EQ(CFailure::Kind::Code, failure.GetKind());
            EXPECT_EQ(row.code, failure.Code());
            EXPECT_STREQ("tests/common/HResultTest.cpp", failure.Where().file);
            EXPECT_EQ(row.line, failure.Where().line);
            EXPECT_EQ("0x" + std::string(row.code == kInvalidArg ? "80070057" : "80004001") +
                          " at tests/common/HResultTest.cpp:" + std::to_string(row.line),
                      failure.Text());
        }
    }
}

}  // namespace
}  // namespace paylode
