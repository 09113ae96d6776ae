/*
 * Output files on Windows (see FileSystem.h): the new file is created beside
 * the chosen one with CREATE_NEW and no write sharing, so that no other
 * program writes into it; FlushFileBuffers puts its bytes on the disk, and
 * MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH puts
 * it at the chosen path in one step that is itself on the disk when the
 * call returns. A chosen path that cannot be replaced (a read-only file, a
 * folder) fails that step and keeps what it held; a device is refused at
 * once, as a file that cannot be created.
 */
#include "common/FileSystem.h"
#include "common/TextConversion.h"
#include "common/win/Platform.h"

namespace paylode {

namespace {

class CWindowsOutputFile : public CBufferedOutputFile {
public:
    CWindowsOutputFile(HANDLE file, WideString temporary, WideString chosen)
        : file_(file), temporary_(std::move(temporary)), chosen_(std::move(chosen)) {}
    ~CWindowsOutputFile() override { Abandon(); }
    CWindowsOutputFile(const CWindowsOutputFile&) = delete;
    CWindowsOutputFile& operator=(const CWindowsOutputFile&) = delete;

protected:
    bool WriteOut(const char* data, std::size_t size) override {
        while (size > 0) {
            const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!WriteFile(file_, data, chunk, &written, nullptr) || written == 0) return false;
            data += written;
            size -= written;
        }
        return true;
    }

    bool Finish() override {
        const bool flushed = FlushFileBuffers(file_) != FALSE;
        const bool closed = CloseHandle(std::exchange(file_, INVALID_HANDLE_VALUE)) != FALSE;
        if (!flushed || !closed ||
            !MoveFileExW(temporary_.c_str(), chosen_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            Abandon();
            return false;
        }
        temporary_.clear();
        return true;
    }

private:
    void Abandon() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(file_, INVALID_HANDLE_VALUE));
        if (!temporary_.empty()) DeleteFileW(std::exchange(temporary_, WideString()).c_str());
    }

    HANDLE file_;
    WideString temporary_;
    WideString chosen_;
};

// Whether `path` names a device (NUL, a printer port, or under Wine a Unix
// device such as Z:\dev\full) rather than a file on a disk: a device cannot
// be replaced, and moving a file over it must never be tried.
bool NamesDevice(const WideString& path) {
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    // A pipe whose every instance is taken cannot be opened, and is a pipe.
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_PIPE_BUSY;
    const bool device = GetFileType(file) != FILE_TYPE_DISK;
    CloseHandle(file);
    return device;
}

class CWindowsFileSystem : public IFileSystem {
public:
    bool IsDevice(const std::string& path) override { return NamesDevice(WideFromAnsi(path.c_str())); }

    bool CanOpenForReading(const std::string& path) override {
        const HANDLE file = CreateFileW(WideFromAnsi(path.c_str()).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        return true;
    }

    std::unique_ptr<IOutputFile> CreateReplacement(const std::string& path) override {
        WideString chosen = WideFromAnsi(path.c_str());
        if (NamesDevice(chosen)) return nullptr;
        for (unsigned attempt = 0; attempt < kUnfinishedFileAttempts; ++attempt) {
            WideString temporary = WideFromAnsi(UnfinishedFilePath(path, GetCurrentProcessId(), attempt).c_str());
            const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                if (GetLastError() == ERROR_FILE_EXISTS) continue;
                return nullptr;
            }
            return std::make_unique<CWindowsOutputFile>(file, std::move(temporary), std::move(chosen));
        }
        return nullptr;
    }
};

}  // namespace

IFileSystem& PlatformFileSystem() {
    static CWindowsFileSystem files;
    return files;
}

}  // namespace paylode
