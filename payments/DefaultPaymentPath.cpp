/*
 * The default payment directory check's path building (see
 * DefaultPaymentPath.h).
 */
#include "payments/DefaultPaymentPath.h"

#include <cstdio>
#include <cstring>

namespace paylode {

namespace {

bool EndsInBackslash(const char* text) {
    const std::size_t length = std::strlen(text);
    return length > 0 && text[length - 1] == '\\';
}

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

bool IsUpperOf(char c, char upper) { return c == upper || (c >= 'a' && c <= 'z' && c - 'a' + 'A' == upper); }

}  // namespace

std::optional<std::string> SearchPatternFor(const char* directory) {
    std::string pattern = JoinDirectoryAndFile(directory, "*.*");
    if (pattern.size() >= kSearchPatternBytes) return std::nullopt;
    return pattern;
}

bool IsDriveAPattern(const std::string& pattern) {
    return pattern.size() == 6 && IsUpperOf(pattern[0], 'A') && pattern.compare(1, 5, ":\\*.*") == 0;
}

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
