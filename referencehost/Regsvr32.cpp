/*
 * regsvr32 of the running program's own bitness, run as a child process with a
 * bounded wait.
 */
#include "referencehost/Regsvr32.h"

#include <vector>

#include "common/win/Owners.h"
#include "common/win/ModuleFile.h"

namespace paylode::referencehost {

namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += (c < 0x80) ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Regsvr32Result& result) {
    out << Narrow(result.commandLine) << ": ";
    if (!result.started) return out << "could not start, error " << result.startError;
    if (!result.finished) return out << "did not finish in time";
    return out << "exit code " << result.exitCode;
}

Regsvr32Result RunRegsvr32(const std::wstring& dllPath, bool unregister, std::chrono::milliseconds timeout) {
    Regsvr32Result result;
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        result.startError = GetLastError();
        return result;
    }
    const std::wstring program = std::wstring(windows) + L"\\system32\\regsvr32.exe";
    result.commandLine = L"\"" + program + L"\" /s " + (unregister ? L"/u " : L"") + L"\"" + dllPath + L"\"";

    std::vector<wchar_t> commandLine(result.commandLine.begin(), result.commandLine.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        result.startError = GetLastError();
        return result;
    }
    result.started = true;
    const CHandle thread(process.hThread);
    const CHandle running(process.hProcess);
    if (WaitForSingleObject(running.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
        result.finished = true;
        GetExitCodeProcess(running.Get(), &result.exitCode);
    } else {
        TerminateProcess(running.Get(), 1);
        WaitForSingleObject(running.Get(), 5000);
    }
    return result;
}

std::wstring PathBesideProgram(const std::wstring& fileName) { return ModuleFolder(nullptr) + fileName; }

}  // namespace paylode::referencehost
