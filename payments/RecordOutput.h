/*
 * Where the record writers put their lines: the open payment file or
 * template file, or a string in memory. Lines end in CR LF, written as bytes,
 * so that every build writes the same file.
 */
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace paylode {

class IRecordOutput {
public:
    virtual ~IRecordOutput() = default;
    virtual void Write(const char* data, std::size_t size) = 0;
};

// A file opened in binary mode by the caller, who also closes it.
class CFileRecordOutput : public IRecordOutput {
public:
    explicit CFileRecordOutput(std::FILE* file) : file_(file) {}
    void Write(const char* data, std::size_t size) override;

private:
    std::FILE* file_;
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
