/*
 * Debugger output without a debugger: the texts go to standard error, as
 * they come.
 */
#include "common/DebugOutput.h"

#include <cstdio>

namespace paylode {

void WritePlatformDebugOutput(const char* text) { std::fputs(text, stderr); }

}  // namespace paylode
