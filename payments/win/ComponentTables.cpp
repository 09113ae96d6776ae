/*
 * The tables beside the component's DLL (see ComponentTables.h).
 */
#include "payments/win/ComponentTables.h"

#include <filesystem>
#include <optional>
#include <string>

#include "combase/Module.h"
#include "common/DebugOutput.h"
#include "common/win/Platform.h"

namespace paylode {

namespace {

// The "modulus" folder beside the DLL; empty when the DLL's own path cannot
// be had.
std::filesystem::path TableFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(CModule::Instance(), &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::filesystem::path();
    path.resize(length);
    return std::filesystem::path(path).parent_path() / L"modulus";
}

}  // namespace

const CBankClosures& ComponentBankClosures() {
    static const CBankClosures closures = [] {
        CBankClosures table;
        const std::filesystem::path folder = TableFolder();
        std::string error = "the DLL's own path is not known";
        if (folder.empty() || !table.Load(folder / kBankClosuresFileName, &error)) {
            WriteDebugOutput(("Bank closures not known: " + error + "\n").c_str());
        }
        return table;
    }();
    return closures;
}

const CModulusTables* ComponentModulusTables() {
    static const std::optional<CModulusTables> tables = []() -> std::optional<CModulusTables> {
        const std::filesystem::path folder = TableFolder();
        std::string error = "the DLL's own path is not known";
        std::optional<CModulusTables> loaded;
        if (!folder.empty()) loaded = CModulusTables::Load(folder.u8string(), &error);
        if (!loaded) WriteDebugOutput(("Payee accounts not checked: " + error + "\n").c_str());
        return loaded;
    }();
    return tables ? &*tables : nullptr;
}

}  // namespace paylode
