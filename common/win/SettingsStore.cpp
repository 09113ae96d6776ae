/*
 * BANKSERV.INI through the platform's profile-string calls.
 */
#include "common/win/SettingsStore.h"

#include "common/win/Platform.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace paylode {

namespace {

// The path is process-wide and only ever written on the user-interface thread.
char settingsPath[MAX_PATH];
bool settingsPathKnown = false;

}  // namespace

const char* GetSettingsFilePath() {
    if (!settingsPathKnown) {
        char path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) &&
            PathAppendA(path, kSettingsRelativePath)) {
            lstrcpynA(settingsPath, path, MAX_PATH);
            settingsPathKnown = true;
        }
    }
    return settingsPath;
}

bool ReadSetting(const CString& key, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return false;
    buffer[0] = '\0';
    const char* file = GetSettingsFilePath();
    // Without the folder there is no file to read: an empty path would make
    // the platform look for the file in the Windows directory instead.
    if (file[0] == '\0' || !IsSafeSettingKey(key.GetString())) return false;
    return GetPrivateProfileStringA(kSettingsSection, key.GetString(), "", buffer, static_cast<DWORD>(size), file) > 0;
}

bool WriteSetting(const CString& key, const char* value) {
    const char* file = GetSettingsFilePath();
    if (file[0] == '\0' || !IsSafeSettingKey(key.GetString())) return false;
    return WritePrivateProfileStringA(kSettingsSection, key.GetString(), value != nullptr ? value : "", file) != FALSE;
}

void LoadSettingString(const CString& key, CString& value) {
    char text[kSettingBufferBytes] = {};
    if (ReadSetting(key, text, kSettingReadSize)) value = text;
}

bool ReadSettingFlag(const CString& key, int& flag) {
    char text[kSettingBufferBytes] = {};
    if (!ReadSetting(key, text, kSettingReadSize)) return false;
    flag = 0;
    if (IsTrueFlagText(text)) flag = 1;
    return true;
}

bool WriteSettingFlag(const CString& key, int flag) { return WriteSetting(key, FlagText(flag)); }

}  // namespace paylode
