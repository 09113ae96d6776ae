/*
 * Debugger output on Windows: OutputDebugStringA.
 */
#include "common/DebugOutput.h"

#include "common/win/Platform.h"

namespace paylode {

void WritePlatformDebugOutput(const char* text) { OutputDebugStringA(text); }

}  // namespace paylode
