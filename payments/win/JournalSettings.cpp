/*
 * The payment journal's settings from the machine's registry (see
 * JournalSettings.h).
 */
#include "payments/win/JournalSettings.h"

#include <string>

#include "common/FileSystem.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "common/win/SettingsStore.h"

namespace paylode {

namespace {

// A text value, environment variables expanded for REG_EXPAND_SZ; empty
// when it is missing, of another type or cannot be read.
WideString ReadFolderValue(HKEY key) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, kJournalFolderValue, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, kJournalFolderValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
        ERROR_SUCCESS) {
        return {};
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    if (type == REG_EXPAND_SZ && !text.empty()) {
        const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        std::wstring expanded(needed, L'\0');
        if (needed == 0 || ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed) == 0) return {};
        expanded.resize(wcsnlen(expanded.c_str(), expanded.size()));
        text = expanded;
    }
    while (!text.empty() && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
    return WideString(text.begin(), text.end());
}

// The settings folder, where BANKSERV.INI lives.
WideString SettingsFolder() {
    const std::string file = GetSettingsFilePath();
    if (file.empty()) return {};
    std::string folder = DirectoryOfPath(file);
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return WideFromAnsi(folder.c_str());
}

}  // namespace

JournalSettings ReadPlatformJournalSettings() {
    JournalSettings settings;
    CRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kJournalSettingsKey, 0, KEY_READ | KEY_WOW64_64KEY, key.Receive()) ==
        ERROR_SUCCESS) {
        settings.folder = ReadFolderValue(key.Get());
        DWORD type = 0;
        DWORD days = 0;
        DWORD bytes = sizeof days;
        if (RegQueryValueExW(key.Get(), kJournalDaysValue, nullptr, &type, reinterpret_cast<BYTE*>(&days), &bytes) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && bytes == sizeof days) {
            settings.days = days;
        }
    }
    if (settings.folder.empty()) settings.folder = SettingsFolder();
    return settings;
}

}  // namespace paylode
