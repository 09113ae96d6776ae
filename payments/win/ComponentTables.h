/*
 * The tables that ship in the "modulus" folder beside the component's DLL
 * (not beside the host's program), each read once, on first use. A table
 * that is missing or unreadable never blocks a run: it reads as empty, and
 * one debugger line says why.
 */
#pragma once

#include "payments/BankClosures.h"
#include "payments/ModulusCheck.h"

namespace paylode {

// The days the banks are closed beyond the computed calendar.
const CBankClosures& ComponentBankClosures();

// The modulus tables the payee accounts are checked with; null when they
// cannot be read (every account is then "not checked").
const CModulusTables* ComponentModulusTables();

}  // namespace paylode
