/*
 * BANKSERV.INI through the platform's profile-string calls.
 */
#include "common/win/SettingsStore.h"

#include "common/win/Platform.h"

#include <sddl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "common/DebugOutput.h"
#include "common/TextConversion.h"
#include "common/win/EveryUserFiles.h"

namespace paylode {

namespace {

// Every process on the machine that runs the component (each user's host on
// a terminal server) writes the one settings file, and the platform's
// profile calls read the whole file, change one key and write it all back:
// two writes at once can each put back a file without the other's key. A
// machine-wide mutex puts the component's writes one after another. Every
// user may wait on it and release it; a process that holds it too long is
// waited for at most kSettingsLockWait, and the write is then made without
// it and the wait reported.
constexpr wchar_t kSettingsLockName[] = L"Global\\TorvoKelmarBankPaylode.BANKSERV.INI";
constexpr wchar_t kSettingsLockAccess[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100001;;;WD)";
constexpr DWORD kSettingsLockWait = 5000;

class CSettingsLock {
public:
    CSettingsLock() {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
        if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kSettingsLockAccess, SDDL_REVISION_1, &descriptor,
                                                                 nullptr)) {
            attributes.lpSecurityDescriptor = descriptor;
        }
        mutex_ = CreateMutexW(&attributes, FALSE, kSettingsLockName);
        if (mutex_ == nullptr) mutex_ = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kSettingsLockName);
        if (descriptor != nullptr) LocalFree(descriptor);
        if (mutex_ == nullptr) {
            WriteDebugOutput("BANKSERV.INI: the settings lock cannot be made; writing without it\n");
            return;
        }
        // A holder that ended without releasing it leaves it abandoned: the
        // file it was writing is whole again once its write call returned.
        const DWORD waited = WaitForSingleObject(mutex_, kSettingsLockWait);
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        if (!held_) WriteDebugOutput("BANKSERV.INI: another process held the settings lock for 5 s; writing without it\n");
    }
    ~CSettingsLock() {
        if (held_) ReleaseMutex(mutex_);
        if (mutex_ != nullptr) CloseHandle(mutex_);
    }
    CSettingsLock(const CSettingsLock&) = delete;
    CSettingsLock& operator=(const CSettingsLock&) = delete;

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

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
    const CSettingsLock lock;
    // The profile call would create a missing file with the rights it
    // inherits, which leave it read-only for every user but the first; so
    // the first write of the machine creates it (and its folder) for every
    // local user. A file that cannot be made is left to the write to report.
    CreateFileForEveryLocalUser(WideFromAnsi(file));
    SetLastError(ERROR_SUCCESS);
    if (WritePrivateProfileStringA(kSettingsSection, key.GetString(), value != nullptr ? value : "", file)) return true;
    // The run goes on without the choice, which is told on the debugger
    // output; a safe key holds no line break, so it is one line.
    const DWORD error = GetLastError();
    const std::string line =
        "BANKSERV.INI: " + std::string(key.GetString()) + " not written: Win32 error " + std::to_string(error) + "\n";
    WriteDebugOutput(line.c_str());
    return false;
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
