/*
 * A failure's code as text, and the raising of a plain failure code
 * (ThrowHResult). Failures of a host call and described failures are raised
 * where they are made, in combase/HostCall.cpp and combase/OperationGuard.cpp,
 * as CFailures of their own kinds.
 */
#include "common/HResult.h"

#include <cstdio>

namespace paylode {

std::string HResultText(HResult code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(static_cast<std::uint32_t>(code)));
    return text;
}

std::string CFailure::Text() const {
    return HResultText(code_) + " at " + where_.file + ":" + std::to_string(where_.line);
}

void ThrowHResult(HResult code, SourcePlace where) { throw CFailure(CFailure::Kind::Code, code, where); }

}  // namespace paylode
