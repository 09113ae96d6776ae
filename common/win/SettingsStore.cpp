/*
 * BANKSERV.INI through the platform's profile-string calls, and the default
 * payment directory check through its find-first-file call.
 */
#include "common/win/SettingsStore.h"

#include "common/MessageBox.h"
#include "common/win/Owners.h"
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
    if (file[0] == '\0') return false;
    return GetPrivateProfileStringA(kSettingsSection, key.GetString(), "", buffer, static_cast<DWORD>(size), file) > 0;
}

bool WriteSetting(const CString& key, const char* value) {
    const char* file = GetSettingsFilePath();
    if (file[0] == '\0') return false;
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

void ResolveDefaultPaymentPath(const char* fileName, const char* directory, char (&path)[kPaymentPathBytes]) {
    const std::optional<std::string> pattern = SearchPatternFor(directory);
    bool found = false;
    if (pattern) {
        WIN32_FIND_DATAA entry;
        const CFindHandle search(FindFirstFileA(pattern->c_str(), &entry));
        found = search || IsDriveAPattern(*pattern);
    }
    if (found) {
        CopyPaymentPath(JoinDirectoryAndFile(directory, fileName), path);
        return;
    }
    MessageRequest request;
    request.owner = GetActiveWindow();
    request.caption = kInvalidDefaultPathCaption;
    request.text = MissingDirectoryMessage(directory);
    request.icon = MessageIcon::Error;
    request.buttons = MessageButtons::Ok;
    ShowMessageBox(request);
    CopyPaymentPath(JoinDirectoryAndFile(kFallbackPaymentDirectory, fileName), path);
}

}  // namespace paylode
