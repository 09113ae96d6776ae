/*
 * The fault campaign's plan, shared by every host object of the process:
 * the host objects the host program makes itself and the registered objects
 * that the component creates by CLSID live in different modules, but count
 * their calls and their references in one place.
 *
 * Calls: every method call the component makes on a host object, and every
 * creation of a registered object by CLSID, is numbered from 1 once the plan
 * is armed; the call whose number is the armed one fails with the armed
 * HRESULT instead of running. QueryInterface, AddRef, Release and OleRun's
 * Run are not numbered.
 *
 * References: each host object adds to one count the references held on it
 * beyond the host's own (the one it is made with, while the host keeps it),
 * so that the host program can tell how many references the component still
 * holds after an operation returned.
 *
 * The plan lives in a named shared memory section of this process, which
 * every module that links the reference host library opens.
 */
#pragma once

#include <string>

#include "common/win/Platform.h"

namespace paylode::referencehost {

class CHostCallPlan {
public:
    // Numbers calls from 1 again; call `failAt` (0: none) fails with `failWith`.
    static void Arm(long failAt, HRESULT failWith);
    // Numbers one call; the failure to play for it, or S_OK.
    static HRESULT NextCall();
    // Calls numbered since the plan was last armed.
    static long Calls();

    // References held on host objects beyond the host's own.
    static long OutsideReferences();
    static void AddOutsideReferences(long change);
};

// Parses an HRESULT as written by a user: 0x80004005, or a decimal number
// (negative numbers as the signed value, -2147467259).
bool ParseHResult(const std::string& text, HRESULT* result);

}  // namespace paylode::referencehost
