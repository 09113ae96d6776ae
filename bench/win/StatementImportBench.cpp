/*
 * The statement import under Wine, timed: a generated statement of N lines,
 * one line in ten of the host's account, imported by the statement service
 * into the reference host's statement through the registered reference
 * host's chooser, as the host's bank reconciliation would.
 *
 *   paylode_bench_statement_import [LINES...]     (default 100000 1000000)
 *
 * For each size it prints one line: the time of the import, the host calls
 * per transaction added (every call on the account, its details, the
 * statement and the transactions), and the process's memory before the
 * import, at its peak and after it. The host's statement keeps every
 * transaction it is given, so memory after the import grows with the
 * transactions; the peak above that is what the import itself held at once,
 * which stays flat however long the file is.
 *
 * The statement file goes to the temporary folder and is removed afterwards.
 * This is a benchmark, not a test: it reports and never fails on a figure.
 */
#include "common/win/Platform.h"

#include <psapi.h>
#include <wrl/client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "combase/ComPointers.h"
#include "referencehost/HostPayments.h"
#include "referencehost/HostStatement.h"
#include "common/DebugOutput.h"
#include "statements/win/BankStatementService.h"

using Microsoft::WRL::ComPtr;
using namespace paylode;
using namespace paylode::referencehost;

namespace {

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + "paylode-bench-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

// N transaction lines after the header; every tenth is the host's account,
// every thirtieth a cheque.
void WriteStatement(const std::string& path, long lines) {
    std::ofstream file(path, std::ios::binary);
    file << "Sort Code,Account Number,Account Alias,Account Short Name,Currency,Account Type,BIC,Bank Name,"
            "Branch Name,Date,Narrative #1,Narrative #2,Narrative #3,Narrative #4,Narrative #5,Type,Debit,Credit\r\n";
    char line[512];
    for (long i = 0; i < lines; ++i) {
        const bool ours = i % 10 == 0;
        const bool cheque = i % 30 == 0;
        std::snprintf(line, sizeof line,
                      "%s,%s,Operating,\"Smith, J\",GBP,Current,KELMGB2L,Kelmar Bank,High Street,%02ld/%02ld/2006,"
                      "%ld,PAYEE %ld,REF,,,%s,%s,%s\r\n",
                      ours ? "123456" : "654321", ours ? "12345678" : "87654321", i % 28 + 1, i % 12 + 1, 100000 + i, i,
                      cheque ? "CHQ" : "DD", i % 2 == 0 ? "12.50" : "", i % 2 == 0 ? "" : "\"1,234.56\"");
        file << line;
    }
}

struct Memory {
    double workingSet, peakWorkingSet, privateBytes, peakPrivateBytes;  // MiB
};

Memory MemoryNow() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    const double mib = 1024.0 * 1024.0;
    return {counters.WorkingSetSize / mib, counters.PeakWorkingSetSize / mib, counters.PagefileUsage / mib,
            counters.PeakPagefileUsage / mib};
}

// Calls one of the reference host DLL's registration exports.
bool Register(const char* exportName) {
    const HMODULE module = LoadLibraryW(L"TorvoReferenceHost.dll");
    if (module == nullptr) return false;
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, exportName)));
    const bool done = entry != nullptr && SUCCEEDED(entry());
    FreeLibrary(module);
    return done;
}

int Run(long lines) {
    const std::string statementPath = TempPath(("statement-" + std::to_string(lines) + ".csv").c_str());
    const std::string iniPath = TempPath("host.ini");
    WriteStatement(statementPath, lines);
    std::ofstream(iniPath, std::ios::binary) << "[Chooser]\r\nFile=" << statementPath << "\r\n";
    SetEnvironmentVariableA("TORVO_REFERENCE_HOST_INI", iniPath.c_str());

    auto log = std::make_shared<CHostCallLog>();
    log->CountOnly();
    ComPtr<CHostStatement> statement = MakeComObject<CHostStatement>(log);
    ComPtr<CHostBankAccount> account = MakeComObject<CHostBankAccount>(log, L"12-34-56", L"12345678");
    ComPtr<ITorvoBankStatementService> service;
    HRESULT result = CreateBankStatementService(nullptr, IID_ITorvoBankStatementService,
                                                reinterpret_cast<void**>(service.GetAddressOf()));
    const Memory before = MemoryNow();
    const auto start = std::chrono::steady_clock::now();
    if (SUCCEEDED(result)) result = service->ImportStatement(account.Get(), statement.Get());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const Memory after = MemoryNow();
    const std::size_t added = statement->Size();

    std::printf(
        "%8ld lines  %6zu transactions  %7.3f s  %5.2f us/line  %.2f host calls/transaction  "
        "private MiB: before %.1f peak %.1f after %.1f (import peak over after %.1f)  result 0x%08lX\n",
        lines, added, seconds, seconds * 1e6 / static_cast<double>(lines),
        added > 0 ? static_cast<double>(log->CallCount()) / static_cast<double>(added) : 0.0, before.privateBytes,
        after.peakPrivateBytes, after.privateBytes, after.peakPrivateBytes - after.privateBytes,
        static_cast<unsigned long>(result));
    std::fflush(stdout);

    service.Reset();
    statement.Reset();
    account.Reset();
    DeleteFileA(statementPath.c_str());
    DeleteFileA(iniPath.c_str());
    return SUCCEEDED(result) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atol(argv[i]));
    if (sizes.empty()) sizes = {100000, 1000000};

    // The reader's diagnostics would only slow the run.
    ScopedDebugOutputHandler quiet([](const char*) {});
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    if (!Register("DllRegisterServer")) {
        std::fprintf(stderr, "cannot register TorvoReferenceHost.dll beside the program\n");
        return 2;
    }
    int status = 0;
    for (const long lines : sizes) status |= Run(lines);
    Register("DllUnregisterServer");
    CoUninitialize();
    return status;
}
