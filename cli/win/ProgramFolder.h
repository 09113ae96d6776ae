/*
 * The folder that holds paylode.exe on Windows, where the release and the
 * packages put the files the tool reads (cli/win/ProgramFolderWin.cpp).
 */
#pragma once

#include <string>

namespace paylode::cli {

// The path, in UTF-8, of `name` in the folder that holds paylode.exe.
std::string PathBesideProgram(const char* name);

}  // namespace paylode::cli
