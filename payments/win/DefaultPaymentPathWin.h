/*
 * The default payment directory check of the payment run: the payment file
 * name and default payment directory configured in the host become the path
 * that the save-file dialog proposes first. A directory in which a wildcard
 * search finds no entry at all is reported in a message box owned by the
 * active window, and "C:\\" is proposed instead; drive A is taken as it
 * stands, since asking it would need a disk in the drive.
 */
#pragma once

#include "payments/DefaultPaymentPath.h"

namespace paylode {

void ResolveDefaultPaymentPath(const char* fileName, const char* directory, char (&path)[kPaymentPathBytes]);

}  // namespace paylode
