/*
 * Message boxes without a window system: the request goes to standard
 * error, and nothing is confirmed by default.
 */
#include "common/MessageBox.h"

#include <cstdio>

namespace paylode {

MessageAnswer ShowPlatformMessageBox(const MessageRequest& request) {
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    switch (request.buttons) {
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::OkCancel: return MessageAnswer::Cancel;
    case MessageButtons::Ok: break;
    }
    return MessageAnswer::Ok;
}

}  // namespace paylode
