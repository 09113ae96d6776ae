/*
 * The tables beside the component's DLL (see ComponentTables.h).
 */
#include "payments/win/ComponentTables.h"

#include <string>

#include "combase/Module.h"
#include "common/DebugOutput.h"
#include "common/TextConversion.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"

namespace paylode {

namespace {

// The path of `name` in the "modulus" folder beside the DLL; empty when the
// DLL's own path cannot be had.
std::wstring TablePath(const wchar_t* name) {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(Module::Instance(), &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::wstring();
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"modulus\\" + name;
}

// The whole file at `path`; false when it cannot be read.
bool ReadWholeFile(const std::wstring& path, std::string* text) {
    const CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char block[16384];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), block, sizeof block, &read, nullptr)) return false;
        if (read == 0) return true;
        text->append(block, read);
    }
}

}  // namespace

const CBankClosures& ComponentBankClosures() {
    static const CBankClosures closures = [] {
        CBankClosures table;
        const std::wstring path = TablePath(L"bank-closures.txt");
        std::string text;
        std::string error = "it cannot be read";
        if (path.empty() || !ReadWholeFile(path, &text) || !table.Parse(text, &error)) {
            WriteDebugOutput(("Bank closures not known: " + Utf8FromWide(path) + ": " + error + "\n").c_str());
        }
        return table;
    }();
    return closures;
}

}  // namespace paylode
