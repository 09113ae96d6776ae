/*
 * `paylode-host register` and `paylode-host unregister`: what an
 * administrator does to install the component beside the host framework.
 * Both DLLs beside the program are registered with the regsvr32 of the
 * program's bitness (the reference host first, whose type libraries the
 * component's own imports; removal in the opposite order), and `register`
 * also creates the host framework's shared settings folder, as the host's
 * installer does, so that the component's choices are remembered.
 */
#include <shlobj.h>

#include <iostream>
#include <sstream>

#include "referencehost/Regsvr32.h"
#include "referencehost/program/HostCommands.h"
#include "referencehost/program/HostToolkit.h"

namespace paylode::hostprogram {
namespace {

constexpr const wchar_t* kReferenceHostDll = L"TorvoReferenceHost.dll";
constexpr const wchar_t* kComponentDll = L"TorvoKelmarBankPaylode.DLL";

void Run(const wchar_t* dll, bool unregister) {
    const std::wstring path = referencehost::PathBesideProgram(dll);
    const referencehost::Regsvr32Result result = referencehost::RunRegsvr32(path, unregister);
    if (!result.Succeeded()) {
        std::ostringstream why;  // the command line and how it ended
        why << result;
        throw HostFailure{why.str()};
    }
    std::cout << (unregister ? "unregistered " : "registered ") << Utf8FromWide(path).Bytes() << "\n";
}

// <common application data>\TORVO\Torvo EBanking, where BANKSERV.INI lives.
void CreateSettingsFolder() {
    wchar_t common[MAX_PATH] = {};
    const HRESULT found = SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common);
    if (FAILED(found)) throw HostFailure{"the common application-data folder is unknown: " + DescribeHResult(found)};
    std::wstring folder = common;
    for (const wchar_t* part : {L"\\TORVO", L"\\Torvo EBanking"}) {
        folder += part;
        if (CreateDirectoryW(folder.c_str(), nullptr)) continue;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            throw HostFailure{"cannot create the settings folder " + Utf8FromWide(folder).Bytes() + ": " +
                              DescribeHResult(HRESULT_FROM_WIN32(error))};
        }
    }
    std::cout << "settings folder " << Utf8FromWide(folder).Bytes() << "\n";
}

}  // namespace

void AddRegistrationCommands(CLI::App& app, Outcome& outcome) {
    CLI::App* registration = app.add_subcommand(
        "register",
        "Register the component and the reference host beside this program with regsvr32 of this program's\n"
        "bitness, and create the shared settings folder. Exit status 0, or 100 with the failure.");
    registration->callback([&outcome] {
        Run(kReferenceHostDll, false);
        Run(kComponentDll, false);
        CreateSettingsFolder();
        outcome.status = 0;
    });
    CLI::App* removal = app.add_subcommand(
        "unregister", "Unregister the component and the reference host. Exit status 0, or 100 with the failure.");
    removal->callback([&outcome] {
        Run(kComponentDll, true);
        Run(kReferenceHostDll, true);
        outcome.status = 0;
    });
}

}  // namespace paylode::hostprogram
