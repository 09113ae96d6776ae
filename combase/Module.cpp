/*
 * The module's process-wide state: instance handle and lock count.
 */
#include "combase/Module.h"

namespace paylode {

HINSTANCE CModule::instance_ = nullptr;
volatile LONG CModule::locks_ = 0;

}  // namespace paylode
