/*
 * The rules of the component's remembered choices (see Settings.h).
 */
#include "common/Settings.h"

#include "common/DigitsOf.h"

namespace paylode {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringCase(const char* text, const char* upper) {
    for (; *text != '\0' && *upper != '\0'; ++text, ++upper) {
        if (UpperAscii(*text) != *upper) return false;
    }
    return *text == '\0' && *upper == '\0';
}

}  // namespace

const char* FlagText(int flag) { return flag != 0 ? "TRUE" : "FALSE"; }

bool IsTrueFlagText(const char* text) {
    if (text == nullptr) return false;
    return EqualsIgnoringCase(text, "TRUE") || EqualsIgnoringCase(text, "YES") || EqualsIgnoringCase(text, "1");
}

CString AccountKeySuffix(bool haveBankDetails, const char* sortCode, const char* accountNumber) {
    CString suffix;
    if (!haveBankDetails) return suffix;
    if (sortCode != nullptr) {
        // The sort code is written with blanks or dashes as often as without;
        // only its digits make the key.
        suffix = DigitsOf(sortCode);
    }
    suffix += "_";
    if (accountNumber != nullptr) suffix += accountNumber;
    return suffix;
}

CString TemplateKey(const CString& accountSuffix) { return CString(kTemplateKeyPrefix) + accountSuffix; }

CString BenRefKey(const CString& accountSuffix) { return CString(kBenRefKeyPrefix) + accountSuffix; }

bool IsSafeSettingKey(const char* key) {
    if (key == nullptr || *key == '\0') return false;
    for (; *key != '\0'; ++key) {
        switch (*key) {
        case '\r':
        case '\n':
        case '=':
        case '[':
        case ']': return false;
        default: break;
        }
    }
    return true;
}

}  // namespace paylode
