/*
 * The default payment directory check, without the platform: the payment
 * directory configured in the host becomes the path that the save-file
 * dialog of the payment run proposes first, with the root "C:\\" as the
 * fallback when the directory cannot be found. This file holds the path
 * building and the message; the search of the directory and the message box
 * are in payments/win/DefaultPaymentPathWin.h.
 */
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace paylode {

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
