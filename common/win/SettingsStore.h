/*
 * The component's remembered choices in BANKSERV.INI, the settings file that
 * the host's e-banking components share in the machine's common
 * application-data folder.
 *
 * Every operation works on the section "MIGRATED" of that one file. None of
 * them reports a failure to its caller: a missing file, folder or key reads
 * as nothing, a write that cannot be made is not remembered, and says so in
 * one line on the debugger output. Every user of the machine writes the
 * one file, so the first write creates it, and its folder where missing,
 * with rights that let every local user read and write it
 * (common/win/EveryUserFiles.h); an existing file keeps its rights.
 */
#pragma once

#include "common/CString.h"
#include "common/Settings.h"

namespace paylode {

// The full path of BANKSERV.INI. Worked out on the first call whose folder
// lookup succeeds and kept for the life of the process; empty while the
// lookup fails, and then reads find nothing and writes store nothing.
const char* GetSettingsFilePath();

// One read of `key` into `buffer` of `size` characters, terminator included
// (an empty text when nothing is stored). True when at least one character
// came back: an absent key and an empty value are the same. A key that is
// not safe to use (IsSafeSettingKey) reads nothing.
bool ReadSetting(const CString& key, char* buffer, int size);
// One write of `key`; an empty value writes the key with an empty value.
// True when the platform stored it; an unsafe key is not written. A write
// the platform refuses writes "BANKSERV.INI: <key> not written: Win32 error
// <code>" to the debugger output.
bool WriteSetting(const CString& key, const char* value);

// Sets `value` to the stored text (at most 258 characters) when there is
// one, and otherwise leaves it as it was.
void LoadSettingString(const CString& key, CString& value);
// When a value is stored, sets `flag` to 1 for "TRUE", "YES" or "1" in any
// letter case and to 0 for any other text, and returns true; otherwise
// leaves `flag` alone and returns false.
bool ReadSettingFlag(const CString& key, int& flag);
// Writes "TRUE" for a non-zero flag, "FALSE" for zero.
bool WriteSettingFlag(const CString& key, int flag);

}  // namespace paylode
