/*
 * The one place where the core raises a failure code.
 */
#include "common/HResult.h"

namespace paylode {

void ThrowHResult(HResult code) { throw code; }

}  // namespace paylode
