/*
 * The tables that ship in the "modulus" folder beside the component's DLL
 * (not beside the host's program), each read once, on first use. A table
 * that is missing, unreadable or too large never blocks a run: it reads as
 * empty, and one debugger line says why.
 */
#pragma once

#include <filesystem>
#include <optional>

#include "payments/BankClosures.h"
#include "payments/ModulusCheck.h"

namespace paylode {

// The tables read from `folder`. Whatever goes wrong (no such file, a file
// too large, a name the path conversion refuses, no memory) leaves the table
// empty, or none, with one debugger line: the checks it feeds are then off.
CBankClosures LoadComponentBankClosures(const std::filesystem::path& folder);
std::optional<CModulusTables> LoadComponentModulusTables(const std::filesystem::path& folder);

// The days the banks are closed beyond the computed calendar.
const CBankClosures& ComponentBankClosures();

// The modulus tables the payee accounts are checked with; null when they
// cannot be read (every account is then "not checked").
const CModulusTables* ComponentModulusTables();

}  // namespace paylode
