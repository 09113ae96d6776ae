/*
 * Where the record writers put their lines: the open payment file or
 * template file, or a string in memory. Lines end in CR LF, written as bytes,
 * so that every build writes the same file.
 */
#pragma once

#include <cstddef>
#include <string>

#include "common/FileSystem.h"

namespace paylode {

class IRecordOutput {
public:
    virtual ~IRecordOutput() = default;
    virtual void Write(const char* data, std::size_t size) = 0;
};

// An open output file that remembers whether every write got through. After
// the first failed write nothing more is written: the file is incomplete
// and its writer will not keep it.
class CFileRecordOutput : public IRecordOutput {
public:
    explicit CFileRecordOutput(IOutputFile& file) : file_(file) {}
    void Write(const char* data, std::size_t size) override;

    // Puts the file at its chosen path when every write succeeded; true when
    // it is there. A file not committed is deleted with its IOutputFile.
    bool Commit();

private:
    IOutputFile& file_;
    bool failed_ = false;
};

// Takes the lines and keeps nothing: the records of a payment file that
// could not be created are still written here, so that every payment is
// checked.
class CDiscardRecordOutput : public IRecordOutput {
public:
    void Write(const char*, std::size_t) override {}
};

// Collects the written bytes.
class CStringRecordOutput : public IRecordOutput {
public:
    void Write(const char* data, std::size_t size) override { text_.append(data, size); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

}  // namespace paylode
