/*
 * The statement-file test: the plain function a bank component puts into
 * the first, pointer-sized field of the statement import block, and which
 * the framework's statement file chooser calls for a file the user picks.
 *
 * It takes a description buffer of the chooser's (at least 256 bytes) and the
 * candidate file's path in the ANSI code page, and returns nonzero, with the
 * kind of file named in the description, when the file is a statement of the
 * bank's; otherwise 0, the description untouched. The chooser and the
 * component may come from different compilers, so the calling convention is
 * stated: the C convention, in both bitnesses.
 */
#pragma once

extern "C" {
typedef int(__cdecl* TorvoStatementFileTest)(char* description, const char* path);
}
