/*
 * The rules of the component's remembered choices, without the platform.
 *
 * The choices of the payment options dialog are kept per paying account in
 * BANKSERV.INI, the settings file that the host's e-banking components
 * share, in the one section "MIGRATED". This file holds what needs no
 * Windows call: the section and key names, the key suffix that makes a key
 * per paying account, the text forms of a flag, and the size of a read. The
 * calls on the file itself are in common/win/SettingsStore.h.
 */
#pragma once

#include <cstddef>

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

// False for a key that the file cannot hold as itself: one with a line
// break, "=", "[" or "]" (an account number can bring them in) would be
// written as another key, or as a line of another section, of a file that
// other components share. Such a key is neither read nor written, so its
// setting keeps its default.
bool IsSafeSettingKey(const char* key);

}  // namespace paylode
