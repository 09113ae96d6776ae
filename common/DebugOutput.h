/*
 * The seam through which the component writes its diagnostics (those of
 * the statement reader) to the debugger output. Nothing of it is shown to the user; a developer sees it in
 * a debugger or a debug-output viewer while an import runs.
 *
 * On Windows the text goes to OutputDebugStringA; natively it goes to
 * standard error. Tests and the native tool install a handler that captures
 * or discards the texts.
 */
#pragma once

#include "common/Seam.h"

namespace paylode {

// The platform's own debugger output: OutputDebugStringA on Windows,
// standard error natively.
void WritePlatformDebugOutput(const char* text);

using DebugOutputSeam = Seam<&WritePlatformDebugOutput>;
using DebugOutputHandler = DebugOutputSeam::Handler;
// Replaces where debugger output goes for as long as it lives; the previous
// handler comes back when it ends.
using ScopedDebugOutputHandler = DebugOutputSeam::Override;

// Writes one text to the debugger output, exactly as given (no line end is
// added); a null text writes nothing.
inline void WriteDebugOutput(const char* text) {
    if (text != nullptr) DebugOutputSeam::Call(text);
}

}  // namespace paylode
