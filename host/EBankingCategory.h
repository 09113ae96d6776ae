/*
 * The host framework's component category for e-banking components. A bank
 * component registers its bank class as implementing this category, which
 * is how the framework finds the banks installed on the machine.
 */
#pragma once

#include "common/win/Platform.h"

namespace paylode {

// {92CAB766-551A-4AF2-9F34-55FA735A11D7}
constexpr GUID CATID_TorvoEBankingBanks = {
    0x92cab766, 0x551a, 0x4af2, {0x9f, 0x34, 0x55, 0xfa, 0x73, 0x5a, 0x11, 0xd7}};

}  // namespace paylode
