/*
 * The seam through which the component makes its output files: the payment
 * file and the bulk list template file; and the reading of the small tables
 * it ships with.
 *
 * An output file appears whole or not at all. Its bytes go to a new file of
 * its own in the chosen file's folder, named
 * "~paylode-<process>-<attempt>.tmp"; only when every byte is on the disk
 * does one step put it at the chosen path, replacing what was there. Until that step the chosen path holds exactly
 * what it held before, the old bytes or nothing; a run that fails removes
 * its new file, and a process killed half-way leaves at most such a
 * "~paylode-" file beside the untouched chosen file.
 *
 * Every step says whether it succeeded, so that a full disk or a failed
 * flush is seen by the code that writes the file. The platform's side is in
 * common/native/PosixFileSystem.cpp and common/win/WindowsFileSystem.cpp;
 * tests put a file system of their own in front of it for as long as a
 * ScopedFileSystem lives, to fail any chosen step.
 */
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "common/Seam.h"

namespace paylode {

// A file being written to replace the one at its chosen path. Destroyed
// without a successful Commit(), it is closed and deleted, and the chosen
// path is left as it was.
class IOutputFile {
public:
    virtual ~IOutputFile() = default;
    // True when every byte was taken.
    virtual bool Write(const char* data, std::size_t size) = 0;
    // Puts every byte on the disk, closes the file and puts it at the chosen
    // path in one step. False when any of that failed: the chosen path then
    // holds what it held before and the new file is gone.
    virtual bool Commit() = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // True when a file at `path` can be opened for reading.
    virtual bool CanOpenForReading(const std::string& path) = 0;
    // True when `path` names something that exists and is no file on a disk
    // nor a folder: a device (NUL, a serial port) or a pipe, whose reading
    // can wait for ever and whose place no file may take.
    virtual bool IsDevice(const std::string& path) = 0;
    // Starts a new file that is to replace `path`; null when it cannot be
    // created. Nothing at `path` changes until it is committed.
    virtual std::unique_ptr<IOutputFile> CreateReplacement(const std::string& path) = 0;
};

// The platform's file system.
IFileSystem& PlatformFileSystem();

using FileSystemSeam = Seam<&PlatformFileSystem>;

// The file system in force: the platform's, unless a test replaced it.
inline IFileSystem& CurrentFileSystem() { return FileSystemSeam::Call(); }

// Replaces the file system for as long as it lives; the previous one comes
// back when it ends. The replacement must outlive the scope.
class ScopedFileSystem : public FileSystemSeam::Override {
public:
    explicit ScopedFileSystem(IFileSystem& files) : Override([&files]() -> IFileSystem& { return files; }) {}
};

// The largest file ReadWholeFile takes: the tables it reads are a few
// hundred kilobytes, and a larger file is refused rather than read into
// memory.
constexpr std::uintmax_t kMaxWholeFileBytes = std::uintmax_t{4} * 1024 * 1024;

// No limit for ReadWholeFile: files the user names (a batch, a journal).
constexpr std::uintmax_t kAnyFileBytes = ~std::uintmax_t{0};

// The whole of a file, read in binary; nothing when it cannot be read or
// is larger than `limit` bytes, and then `why` (when given) says which
// ("cannot be opened", "is larger than 4 MiB"). The path is the platform's
// own (wide on Windows), so that no folder name is lost to the ANSI code
// page. Never throws.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* why = nullptr,
                                         std::uintmax_t limit = kMaxWholeFileBytes);

// The drive and directory of a path, with their closing separator: "D:\Pay\"
// for "D:\Pay\batch.txt"; empty for a bare file name.
std::string DirectoryOfPath(const std::string& path);

// Whether two file names in one folder name the same file as Windows sees
// it: trailing dots and blanks trimmed, letters compared without regard to
// case ("PAY.TXT" and "pay.txt ." are one file).
bool SameFileName(const std::string& first, const std::string& second);

// The name that a file being written beside `chosenPath` takes, in the same
// folder: "~paylode-<process>-<attempt>.tmp", numbers in hexadecimal. A
// file of that name that outlives its run is a leftover of a killed one.
std::string UnfinishedFilePath(const std::string& chosenPath, unsigned long process, unsigned attempt);

// How many names a new file tries before its creation is given up.
constexpr unsigned kUnfinishedFileAttempts = 64;

// The buffering both platforms' files share: bytes gather in memory and go
// to the file in large writes; the platform says how to write, and how to
// put the finished file in place.
class CBufferedOutputFile : public IOutputFile {
public:
    bool Write(const char* data, std::size_t size) final;
    bool Commit() final;

protected:
    // Writes straight to the file; true when every byte was taken.
    virtual bool WriteOut(const char* data, std::size_t size) = 0;
    // Puts the written bytes on the disk, closes the file and moves it to
    // the chosen path. On failure the file is deleted.
    virtual bool Finish() = 0;

private:
    bool Drain();

    std::string buffer_;
    bool failed_ = false;
    bool committed_ = false;
};

}  // namespace paylode
