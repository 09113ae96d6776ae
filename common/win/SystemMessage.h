/*
 * The system's own words for a Win32 error or an HRESULT, as FormatMessage
 * gives them in the user's language.
 */
#pragma once

#include <string>

#include "common/win/Platform.h"

namespace paylode {

// The system's message for `code` as the component's ANSI text, line end
// included, unchanged; empty when the system has none.
std::string SystemMessage(DWORD code);

}  // namespace paylode
