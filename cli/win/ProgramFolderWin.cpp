/*
 * The folder of paylode.exe on Windows (see ProgramFolder.h): the release and
 * the packages put the modulus folder beside the program, wherever it was
 * installed or unpacked.
 */
#include "cli/win/ProgramFolder.h"

#include <string>

#include "common/TextConversion.h"
#include "common/win/ModuleFile.h"
#include "common/win/Platform.h"

namespace paylode::cli {

std::string PathBesideProgram(const char* name) {
    return Utf8FromWide(ModuleFolder(nullptr)).Bytes() + name;
}

}  // namespace paylode::cli
