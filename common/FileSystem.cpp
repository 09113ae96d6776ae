/*
 * What both platforms' output files share (see FileSystem.h).
 */
#include "common/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace paylode {

namespace {

// Large enough that a 4000-payment file takes a handful of writes.
constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* why, std::uintmax_t limit) {
    const auto refuse = [why](const char* reason) -> std::optional<std::string> {
        if (why != nullptr) *why = reason;
        return std::nullopt;
    };
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return refuse("cannot be opened");
        std::string text;
        char block[16384];
        while (in.read(block, sizeof block) || in.gcount() > 0) {
            if (text.size() + static_cast<std::uintmax_t>(in.gcount()) > limit) {
                return refuse(limit == kMaxWholeFileBytes ? "is larger than 4 MiB" : "is too large");
            }
            text.append(block, static_cast<std::size_t>(in.gcount()));
        }
        if (in.bad()) return refuse("cannot be read");
        return text;
    } catch (...) {
        return refuse("cannot be read into memory");
    }
}

std::string DirectoryOfPath(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos) return path.substr(0, separator + 1);
    // "C:batch.txt": the drive alone.
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    return std::string();
}

bool SameFileName(const std::string& first, const std::string& second) {
    const auto trimmed = [](const std::string& name) {
        const std::size_t end = name.find_last_not_of(". ");
        return end == std::string::npos ? std::string() : name.substr(0, end + 1);
    };
    const std::string a = trimmed(first);
    const std::string b = trimmed(second);
    const auto folded = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return folded(x) == folded(y); });
}

std::string UnfinishedFilePath(const std::string& chosenPath, unsigned long process, unsigned attempt) {
    char name[48];
    std::snprintf(name, sizeof name, "~paylode-%lx-%x.tmp", process, attempt);
    return DirectoryOfPath(chosenPath) + name;
}

bool CBufferedOutputFile::Write(const char* data, std::size_t size) {
    if (failed_ || committed_) return false;
    if (buffer_.size() + size > kBufferBytes && !Drain()) return false;
    if (size >= kBufferBytes) {
        failed_ = !WriteOut(data, size);
        return !failed_;
    }
    buffer_.append(data, size);
    return true;
}

bool CBufferedOutputFile::Drain() {
    if (!buffer_.empty() && !failed_) failed_ = !WriteOut(buffer_.data(), buffer_.size());
    buffer_.clear();
    return !failed_;
}

bool CBufferedOutputFile::Commit() {
    if (committed_ || !Drain()) return false;
    committed_ = true;
    return Finish();
}

}  // namespace paylode
