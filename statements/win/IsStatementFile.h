/*
 * IsStatementFile: the component's statement-file test, which the statement
 * service hands to the host's statement file chooser through the statement
 * import block (host/StatementFileTest.h). A file is a statement of the
 * bank's when its header line has 14 or 18 fields.
 */
#pragma once

#include "host/StatementFileTest.h"

namespace paylode {

// The kind of file the test names in the chooser's description buffer.
constexpr char kStatementFileDescription[] = "Kelmar Bank Paylode Statement";

// 1, with kStatementFileDescription and its terminator copied into
// `description`, when the file at `path` is a statement; otherwise 0 and
// `description` untouched. Never throws: the host calls it.
int __cdecl IsStatementFile(char* description, const char* path);

}  // namespace paylode
