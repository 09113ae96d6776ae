/*
 * The tables beside the component's DLL (see ComponentTables.h).
 */
#include "payments/win/ComponentTables.h"

#include <filesystem>
#include <optional>
#include <string>

#include "combase/Module.h"
#include "common/DebugOutput.h"
#include "common/win/ModuleFile.h"
#include "common/win/Platform.h"

namespace paylode {

namespace {

// The "modulus" folder beside the DLL; empty when the DLL's own path cannot
// be had.
std::filesystem::path TableFolder() noexcept try {
    const std::wstring folder = ModuleFolder(CModule::Instance());
    if (folder.empty()) return std::filesystem::path();
    return std::filesystem::path(folder) / L"modulus";
} catch (...) {
    return std::filesystem::path();
}

}  // namespace

CBankClosures LoadComponentBankClosures(const std::filesystem::path& folder) {
    CBankClosures table;
    std::string error = "the DLL's own path is not known";
    try {
        if (!folder.empty() && table.Load(folder / kBankClosuresFileName, &error)) return table;
    } catch (const std::exception& failure) {
        error = failure.what();
    } catch (...) {
        error = "it cannot be read";
    }
    WriteDebugOutput(("Bank closures not known: " + error + "\n").c_str());
    return CBankClosures();
}

std::optional<CModulusTables> LoadComponentModulusTables(const std::filesystem::path& folder) {
    std::string error = "the DLL's own path is not known";
    try {
        if (!folder.empty()) {
            std::optional<CModulusTables> loaded = CModulusTables::Load(folder.u8string(), &error);
            if (loaded) return loaded;
        }
    } catch (const std::exception& failure) {
        error = failure.what();
    } catch (...) {
        error = "they cannot be read";
    }
    WriteDebugOutput(("Payee accounts not checked: " + error + "\n").c_str());
    return std::nullopt;
}

const CBankClosures& ComponentBankClosures() {
    static const CBankClosures closures = LoadComponentBankClosures(TableFolder());
    return closures;
}

const CModulusTables* ComponentModulusTables() {
    static const std::optional<CModulusTables> tables = LoadComponentModulusTables(TableFolder());
    return tables ? &*tables : nullptr;
}

}  // namespace paylode
