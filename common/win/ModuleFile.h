/*
 * The file a module was loaded from: the component's DLL, the reference
 * host's server, or the process's own program (a null module). Its folder
 * is where the component and the programs find what ships beside them (the
 * modulus tables, type libraries, configuration).
 */
#pragma once

#include <string>

#include "common/win/Platform.h"

namespace paylode {

// The module's full path, as long as Windows gives it (up to 32,767
// characters); empty when it cannot be had whole, GetLastError() then
// saying why.
std::wstring ModuleFileName(HMODULE module);

// The folder of that path with its last separator ("C:\Program Files\x\"),
// empty when the path cannot be had.
std::wstring ModuleFolder(HMODULE module);

}  // namespace paylode
