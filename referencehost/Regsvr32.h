/*
 * Registering and unregistering a COM server DLL from inside a Windows
 * program, the way an administrator does it: with regsvr32.
 *
 * The program runs %WINDIR%\system32\regsvr32.exe. In a 32-bit program on a
 * 64-bit system that path is redirected to the 32-bit regsvr32 in SysWOW64,
 * so each program registers with the regsvr32 of its own bitness and the
 * entries land in the registry view its COM calls read.
 */
#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "common/win/Platform.h"

namespace paylode::referencehost {

struct Regsvr32Result {
    bool started = false;   // CreateProcess succeeded
    bool finished = false;  // it ended within the time allowed
    DWORD exitCode = 0;     // regsvr32's exit code: 0 is success
    DWORD startError = 0;   // GetLastError of a failed start
    std::wstring commandLine;

    bool Succeeded() const { return started && finished && exitCode == 0; }
};

std::ostream& operator<<(std::ostream& out, const Regsvr32Result& result);

// Runs regsvr32 /s (and /u to unregister) on the DLL and waits for it at most
// `timeout`; a regsvr32 still running then is ended and reported unfinished.
Regsvr32Result RunRegsvr32(const std::wstring& dllPath, bool unregister,
                           std::chrono::milliseconds timeout = std::chrono::seconds(60));

// The full path of a file in the running program's own folder (the build's
// bin folder, where the DLLs are built).
std::wstring PathBesideProgram(const std::wstring& fileName);

}  // namespace paylode::referencehost
