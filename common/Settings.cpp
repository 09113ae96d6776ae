/*
 * The rules of the component's remembered choices (see Settings.h).
 */
#include "common/Settings.h"

#include <cstdio>
#include <cstring>

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

bool EndsInBackslash(const char* text) {
    const std::size_t length = std::strlen(text);
    return length > 0 && text[length - 1] == '\\';
}

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

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

std::optional<std::string> SearchPatternFor(const char* directory) {
    directory = OrEmpty(directory);
    std::string pattern = directory;
    if (!EndsInBackslash(directory)) pattern += '\\';
    pattern += "*.*";
    if (pattern.size() >= kSearchPatternBytes) return std::nullopt;
    return pattern;
}

bool IsDriveAPattern(const std::string& pattern) { return EqualsIgnoringCase(pattern.c_str(), "A:\\*.*"); }

std::string JoinDirectoryAndFile(const char* directory, const char* fileName) {
    directory = OrEmpty(directory);
    std::string path = directory;
    if (!EndsInBackslash(directory)) path += '\\';
    path += OrEmpty(fileName);
    return path;
}

std::string MissingDirectoryMessage(const char* directory) {
    char text[kMissingDirectoryMessageBytes];
    std::snprintf(text, sizeof text,
                  "The default payment directory (%s) specified does not exist.  Please correct this within "
                  "configuration for the specified banking component. The root directory (C:\\) will be used "
                  "in the mean time.",
                  OrEmpty(directory));
    return text;
}

void CopyPaymentPath(const std::string& path, char (&out)[kPaymentPathBytes]) {
    const std::size_t length = path.size() < kPaymentPathBytes ? path.size() : kPaymentPathBytes - 1;
    std::memcpy(out, path.data(), length);
    out[length] = '\0';
}

}  // namespace paylode
