/*
 * Debugger output: the replaceable handler in front of the platform's output.
 */
#include "statements/DebugOutput.h"

#include <utility>

namespace paylode {

namespace {
DebugOutputHandler& CurrentHandler() {
    static DebugOutputHandler handler;
    return handler;
}
}  // namespace

void WriteDebugOutput(const char* text) {
    if (text == nullptr) return;
    const DebugOutputHandler& handler = CurrentHandler();
    if (handler) {
        handler(text);
    } else {
        WritePlatformDebugOutput(text);
    }
}

ScopedDebugOutputHandler::ScopedDebugOutputHandler(DebugOutputHandler handler)
    : previous_(std::exchange(CurrentHandler(), std::move(handler))) {}

ScopedDebugOutputHandler::~ScopedDebugOutputHandler() { CurrentHandler() = std::move(previous_); }

}  // namespace paylode
