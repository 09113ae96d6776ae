/*
 * The seam through which the statement reader writes its diagnostics to the
 * debugger output. Nothing of it is shown to the user; a developer sees it in
 * a debugger or a debug-output viewer while an import runs.
 *
 * On Windows the text goes to OutputDebugStringA; natively it goes to
 * standard error. Tests and the native tool install a handler that captures
 * or discards the texts.
 */
#pragma once

#include <functional>

namespace paylode {

// Writes one text to the debugger output, exactly as given (no line end is
// added).
void WriteDebugOutput(const char* text);

using DebugOutputHandler = std::function<void(const char* text)>;

// Replaces where debugger output goes for as long as it lives; the previous
// handler comes back when it ends.
class ScopedDebugOutputHandler {
public:
    explicit ScopedDebugOutputHandler(DebugOutputHandler handler);
    ~ScopedDebugOutputHandler();
    ScopedDebugOutputHandler(const ScopedDebugOutputHandler&) = delete;
    ScopedDebugOutputHandler& operator=(const ScopedDebugOutputHandler&) = delete;

private:
    DebugOutputHandler previous_;
};

// The platform's own debugger output: OutputDebugStringA on Windows,
// standard error natively.
void WritePlatformDebugOutput(const char* text);

}  // namespace paylode
