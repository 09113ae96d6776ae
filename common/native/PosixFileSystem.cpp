/*
 * Output files on a POSIX system (see FileSystem.h): the new file is created
 * exclusively beside the chosen one, synced with fsync, renamed over the
 * chosen path, and the folder synced so that the rename itself survives a
 * power loss.
 *
 * A chosen path that exists and is neither an ordinary file nor a folder (a
 * device such as /dev/full or /dev/stdout, a pipe) cannot be replaced: renaming over it
 * would take the device away. Such a path is written in place, as a device
 * holds no earlier bytes to keep.
 */
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "common/FileSystem.h"

namespace paylode {

namespace {

bool WriteAll(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Syncs the folder that holds `path`, so that a rename into it is on disk.
void SyncDirectoryOf(const std::string& path) {
    const std::string directory = DirectoryOfPath(path);
    const int descriptor = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

class CPosixOutputFile : public CBufferedOutputFile {
public:
    // `temporary` is empty when the chosen path is written in place.
    CPosixOutputFile(int descriptor, std::string temporary, std::string chosen)
        : descriptor_(descriptor), temporary_(std::move(temporary)), chosen_(std::move(chosen)) {}
    ~CPosixOutputFile() override { Abandon(); }
    CPosixOutputFile(const CPosixOutputFile&) = delete;
    CPosixOutputFile& operator=(const CPosixOutputFile&) = delete;

protected:
    bool WriteOut(const char* data, std::size_t size) override { return WriteAll(descriptor_, data, size); }

    bool Finish() override {
        if (temporary_.empty()) {
            return ::close(std::exchange(descriptor_, -1)) == 0;
        }
        const bool synced = ::fsync(descriptor_) == 0;
        const bool closed = ::close(std::exchange(descriptor_, -1)) == 0;
        if (!synced || !closed || ::rename(temporary_.c_str(), chosen_.c_str()) != 0) {
            Abandon();
            return false;
        }
        temporary_.clear();
        // The file is in place and its bytes are on the disk; a folder that
        // cannot be synced leaves the rename to the system's own flush.
        SyncDirectoryOf(chosen_);
        return true;
    }

private:
    void Abandon() {
        if (descriptor_ >= 0) ::close(std::exchange(descriptor_, -1));
        if (!temporary_.empty()) ::unlink(std::exchange(temporary_, std::string()).c_str());
    }

    int descriptor_;
    std::string temporary_;
    std::string chosen_;
};

class CPosixFileSystem : public IFileSystem {
public:
    bool IsDevice(const std::string& path) override {
        struct stat existing {};
        return ::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode);
    }

    bool CanOpenForReading(const std::string& path) override {
        const int descriptor = ::open(path.c_str(), O_RDONLY);
        if (descriptor < 0) return false;
        ::close(descriptor);
        return true;
    }

    std::unique_ptr<IOutputFile> CreateReplacement(const std::string& path) override {
        struct stat existing {};
        const bool exists = ::stat(path.c_str(), &existing) == 0;
        if (exists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
            const int descriptor = ::open(path.c_str(), O_WRONLY | O_TRUNC);
            if (descriptor < 0) return nullptr;
            return std::make_unique<CPosixOutputFile>(descriptor, std::string(), path);
        }
        for (unsigned attempt = 0; attempt < kUnfinishedFileAttempts; ++attempt) {
            std::string temporary =
                UnfinishedFilePath(path, static_cast<unsigned long>(::getpid()), attempt);
            const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor < 0) {
                if (errno == EEXIST) continue;
                return nullptr;
            }
            // A replaced file keeps its permissions.
            if (exists) ::fchmod(descriptor, existing.st_mode & 07777);
            return std::make_unique<CPosixOutputFile>(descriptor, std::move(temporary), path);
        }
        return nullptr;
    }
};

}  // namespace

IFileSystem& PlatformFileSystem() {
    static CPosixFileSystem files;
    return files;
}

}  // namespace paylode
