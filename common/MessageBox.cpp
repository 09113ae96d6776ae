/*
 * Message boxes: the replaceable handler in front of the platform's box.
 */
#include "common/MessageBox.h"

#include <utility>

namespace paylode {

namespace {
MessageBoxHandler& CurrentHandler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

MessageAnswer ShowMessageBox(const MessageRequest& request) {
    const MessageBoxHandler& handler = CurrentHandler();
    return handler ? handler(request) : ShowPlatformMessageBox(request);
}

ScopedMessageBoxHandler::ScopedMessageBoxHandler(MessageBoxHandler handler)
    : previous_(std::exchange(CurrentHandler(), std::move(handler))) {}

ScopedMessageBoxHandler::~ScopedMessageBoxHandler() { CurrentHandler() = std::move(previous_); }

}  // namespace paylode
