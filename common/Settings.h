/*
 * The rules of the component's remembered choices, without the platform.
 *
 * The choices of the payment options dialog are kept per paying account in
 * BANKSERV.INI, the settings file that the host's e-banking components
 * share, in the one section "MIGRATED". This file holds what needs no
 * Windows call: the section and key names, the key suffix that makes a key
 * per paying account, the text forms of a flag, the size of a read, and the
 * path building of the default payment directory check. The calls on the
 * file itself and on the file system are in common/win/SettingsStore.h.
 */
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/CString.h"

namespace paylode {

// Where the file lies below the machine's common application-data folder.
constexpr const char* kSettingsRelativePath = "TORVO\\Torvo EBanking\\BANKSERV.INI";
constexpr const char* kSettingsSection = "MIGRATED";

// Keys: the two text keys carry the account key suffix, the flag is shared
// by all accounts.
constexpr const char* kTemplateKeyPrefix = "KelmarPaylodeTemplate";
constexpr const char* kBenRefKeyPrefix = "KelmarPaylodeBenRef";
constexpr const char* kRICheckStateKey = "RICheckState";

// A text value is read into a zero-filled buffer of 260 bytes with a read
// size of 259, terminator included: at most 258 characters come back and a
// longer stored value arrives cut.
constexpr int kSettingBufferBytes = 260;
constexpr int kSettingReadSize = kSettingBufferBytes - 1;
constexpr int kMaxSettingLength = kSettingReadSize - 1;

// How a flag is stored: "TRUE" for a non-zero flag, "FALSE" for zero.
const char* FlagText(int flag);
// How a stored flag reads: "TRUE", "YES" or "1" in any letter case is true,
// any other text false.
bool IsTrueFlagText(const char* text);

// The suffix that makes a key per paying account. `haveBankDetails` is false
// when no account was passed or its bank details could not be had: the
// suffix is then empty. Otherwise it is the digits of the sort code, "_",
// and the account number as it stands; a null sort code or account number
// means that question failed and adds nothing. Sort code 12-34-56 with
// account 12345678 gives "123456_12345678".
CString AccountKeySuffix(bool haveBankDetails, const char* sortCode, const char* accountNumber);
CString TemplateKey(const CString& accountSuffix);
CString BenRefKey(const CString& accountSuffix);

// ---- the default payment directory check ------------------------------------

// The output of the check and the buffers it works in.
constexpr std::size_t kPaymentPathBytes = 1024;
constexpr std::size_t kSearchPatternBytes = 260;
constexpr std::size_t kMissingDirectoryMessageBytes = 1024;

constexpr const char* kInvalidDefaultPathCaption = "Invalid default path";
constexpr const char* kFallbackPaymentDirectory = "C:\\";

// The wildcard pattern that asks whether `directory` holds any entry: the
// directory, a backslash unless it already ends in one, then "*.*". Nothing
// when the pattern would not fit its 260-byte buffer: such a directory
// cannot be searched and counts as missing.
std::optional<std::string> SearchPatternFor(const char* directory);

// True for "A:\*.*" in either letter case: drive A is never reported as
// missing, since asking it would need a disk in the drive.
bool IsDriveAPattern(const std::string& pattern);

// The directory, a backslash unless it already ends in one, then the file.
std::string JoinDirectoryAndFile(const char* directory, const char* fileName);

// The text shown when the configured directory cannot be found, with the
// directory exactly as configured, cut to fit its 1024-byte buffer.
std::string MissingDirectoryMessage(const char* directory);

// Copies a path into the check's output buffer, cut to fit, always ended.
void CopyPaymentPath(const std::string& path, char (&out)[kPaymentPathBytes]);

}  // namespace paylode
