/*
 * The module's process-wide state: instance handle and lock count.
 */
#include "combase/Module.h"

namespace paylode {

HINSTANCE Module::instance_ = nullptr;
volatile LONG Module::locks_ = 0;

}  // namespace paylode
