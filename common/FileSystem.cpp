/*
 * Output files through the C library's buffered files, and the replaceable
 * file system in front of them (see FileSystem.h).
 */
#include "common/FileSystem.h"

#include <sys/stat.h>

#include <cstdio>

namespace paylode {

namespace {

class CStdioOutputFile : public IOutputFile {
public:
    explicit CStdioOutputFile(std::FILE* file) : file_(file) {}
    ~CStdioOutputFile() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    CStdioOutputFile(const CStdioOutputFile&) = delete;
    CStdioOutputFile& operator=(const CStdioOutputFile&) = delete;

    bool Write(const char* data, std::size_t size) override {
        return file_ != nullptr && std::fwrite(data, 1, size, file_) == size;
    }
    bool Flush() override { return file_ != nullptr && std::fflush(file_) == 0; }
    // fclose flushes first and reports a failed flush as its own failure.
    bool Close() override {
        if (file_ == nullptr) return false;
        const bool failedBefore = std::ferror(file_) != 0;
        const bool closed = std::fclose(std::exchange(file_, nullptr)) == 0;
        return closed && !failedBefore;
    }

private:
    std::FILE* file_;
};

class CStdioFileSystem : public IFileSystem {
public:
    bool CanOpenForReading(const std::string& path) override {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) return false;
        std::fclose(file);
        return true;
    }
    std::unique_ptr<IOutputFile> CreateForWriting(const std::string& path) override {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) return nullptr;
        return std::make_unique<CStdioOutputFile>(file);
    }
    // Only an ordinary file is deleted: a payment "file" that is a device
    // (a printer port, a null or full device) is no file of ours.
    bool Remove(const std::string& path) override {
        struct stat status;
        if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
        return std::remove(path.c_str()) == 0;
    }
};

}  // namespace

IFileSystem& PlatformFileSystem() {
    static CStdioFileSystem files;
    return files;
}

}  // namespace paylode
