/*
 * The host interfaces seen through the generated headers' C vtable structs:
 * the offset of each operation's function pointer, in pointers, is the slot
 * a C++ caller compiled against those headers uses. This translation unit
 * alone is compiled with CINTERFACE, so it holds nothing but the offsets.
 */
#define CINTERFACE
#define COBJMACROS
#include "host/HostInterfaces.h"

#include <cstddef>

#include "support/HostSlots.h"

namespace paylode::test {

#define PAYLODE_HEADER_SLOT(iface, operation, slot) \
    HostSlot{#iface, #operation, static_cast<unsigned>(offsetof(iface##Vtbl, operation) / sizeof(void*))},

std::vector<HostSlot> HeaderSlots() { return {PAYLODE_HOST_SLOTS(PAYLODE_HEADER_SLOT)}; }

}  // namespace paylode::test
