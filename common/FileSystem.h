/*
 * The seam through which the component makes its output files: the payment
 * file and the bulk list template file.
 *
 * Every operation on a file being written says whether it succeeded, so that
 * a full disk or a failed flush or close is seen by the code that writes the
 * file rather than lost in a buffer. The platform's side is the C library's
 * buffered files, opened in binary mode (the writers put CR LF themselves),
 * which both builds share; tests put a file system of their own in front of
 * it for as long as a ScopedFileSystem lives, to fail any chosen operation.
 */
#pragma once

#include <memory>
#include <string>

#include "common/Seam.h"

namespace paylode {

// A file open for writing. Close() flushes what is buffered; a file that is
// destroyed without Close() is closed quietly.
class IOutputFile {
public:
    virtual ~IOutputFile() = default;
    // True when every byte was taken.
    virtual bool Write(const char* data, std::size_t size) = 0;
    virtual bool Flush() = 0;
    virtual bool Close() = 0;
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // True when a file at `path` can be opened for reading.
    virtual bool CanOpenForReading(const std::string& path) = 0;
    // Creates the file, or truncates an existing one; null when that fails.
    virtual std::unique_ptr<IOutputFile> CreateForWriting(const std::string& path) = 0;
    // Deletes the file; true when it is gone.
    virtual bool Remove(const std::string& path) = 0;
};

// The platform's file system, through the C library.
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

}  // namespace paylode
