// Under Wine: a VBScript client (WalkBank.vbs) run by the cscript of the
// test's bitness against the registered DLL: it creates the bank by its
// ProgID and walks the bank and its services through IDispatch alone.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/win/Owners.h"
#include "support/ReferenceHostFixture.h"

namespace paylode {
namespace {

struct ScriptRun {
    bool finished = false;
    DWORD exitCode = 0;
    std::string output;
};

// Runs cscript on a script beside the test program, its output caught in a
// file, with a bounded wait.
ScriptRun RunScript(const std::wstring& script) {
    ScriptRun run;
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring program = std::wstring(windows) + L"\\system32\\cscript.exe";
    const std::wstring outputPath = testrig::PathBesideProgram(L"WalkBank.out");
    std::wstring commandLine = L"\"" + program + L"\" //nologo \"" + testrig::PathBesideProgram(script) + L"\"";

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    CHandle output(CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) return run;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    const BOOL started =
        CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    output = CHandle();  // the script's copy is the one that writes now
    if (!started) return run;
    const CHandle thread(process.hThread);
    const CHandle child(process.hProcess);
    if (WaitForSingleObject(child.Get(), 60000) == WAIT_OBJECT_0) {
        run.finished = true;
        GetExitCodeProcess(child.Get(), &run.exitCode);
    } else {
        TerminateProcess(child.Get(), 1);
        WaitForSingleObject(child.Get(), 5000);
    }
    std::ifstream file(outputPath.c_str(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    for (char c : text.str()) {
        if (c != '\r') run.output += c;
    }
    DeleteFileW(outputPath.c_str());
    return run;
}

class ScriptClient : public testrig::WithRegisteredComponent<referencehost::ReferenceHostFixture> {
protected:
};

TEST_F(ScriptClient, WalksTheBankAndItsServices) {
    ASSERT_TRUE(component_->Registration().Succeeded()) << component_->Registration();
    const ScriptRun run = RunScript(L"WalkBank.vbs");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_EQ(
        "bank: Kelmar Bank Paylode, kind 1\n"
        "services: 2\n"
        "each: Bank Payment Service, status 0\n"
        "each: Bank Reconciliation Service, status 0\n"
        "position 0: Bank Payment Service, same by name: True\n"
        "position 1: Bank Reconciliation Service, same by name: True\n"
        "past the end: &HFFFC Invalid argument\n"
        "no such service: Err.Number 65532\n",
        run.output);
}

}  // namespace
}  // namespace paylode
