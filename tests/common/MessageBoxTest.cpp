// The message box seam: a handler sees every request and answers it, and
// handlers nest.
#include "common/MessageBox.h"

#include <gtest/gtest.h>

#include <vector>

namespace paylode {
namespace {

TEST(MessageBox, AHandlerSeesTheRequestAndAnswersIt) {
    std::vector<MessageRequest> seen;
    ScopedMessageBoxHandler handler([&](const MessageRequest& request) {
        seen.push_back(request);
        return MessageAnswer::Yes;
    });
    int owner = 0;
    const MessageAnswer answer = ShowMessageBox(
        {&owner, "Bulk List Template Exists", "Overwrite?", MessageIcon::Question, MessageButtons::YesNo});
    EXPECT_EQ(MessageAnswer::Yes, answer);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(&owner, seen[0].owner);
    EXPECT_EQ("Bulk List Template Exists", seen[0].caption);
    EXPECT_EQ("Overwrite?", seen[0].text);
    EXPECT_EQ(MessageIcon::Question, seen[0].icon);
    EXPECT_EQ(MessageButtons::YesNo, seen[0].buttons);
}

TEST(MessageBox, HandlersNestAndTheOuterOneComesBack) {
    ScopedMessageBoxHandler outer([](const MessageRequest&) { return MessageAnswer::Ok; });
    {
        ScopedMessageBoxHandler inner([](const MessageRequest&) { return MessageAnswer::No; });
        EXPECT_EQ(MessageAnswer::No, ShowMessageBox({}));
    }
    EXPECT_EQ(MessageAnswer::Ok, ShowMessageBox({}));
}

}  // namespace
}  // namespace paylode
