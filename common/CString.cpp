/*
 * CString: buffer rules and text operations (see CString.h).
 */
#include "common/CString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "common/HResult.h"

namespace paylode {

namespace {

char* AllocateBuffer(std::size_t size) {
    char* buffer = new (std::nothrow) char[size];
    if (buffer == nullptr) ThrowHResult(kOutOfMemory);
    return buffer;
}

// Wide text in the ANSI code page. The conversion builds its text on the
// heap; running out of memory there is this class's E_OUTOFMEMORY like any
// other buffer it cannot have.
std::string AnsiOf(const WideChar* text) {
    try {
        return AnsiFromWide(text);
    } catch (const std::bad_alloc&) {
        ThrowHResult(kOutOfMemory);
    }
}

}  // namespace

CString::CString(const CString& other) { Assign(other.GetString(), std::strlen(other.GetString())); }

CString::CString(const char* text) { *this = text; }

CString::CString(const WideChar* text) { *this = text; }

CString::~CString() { delete[] buffer_; }

CString& CString::operator=(const CString& other) {
    if (this == &other) return *this;
    const char* text = other.GetString();
    Assign(text, std::strlen(text));
    return *this;
}

CString& CString::operator=(const char* text) {
    RequireArgument(text != nullptr);
    Assign(text, std::strlen(text));
    return *this;
}

CString& CString::operator=(const WideChar* text) {
    const std::string converted = AnsiOf(text);
    Assign(converted.c_str(), std::strlen(converted.c_str()));
    return *this;
}

void CString::SetString(const char* text, int length) {
    RequireArgument(length >= 0 && (text != nullptr || length == 0));
    Assign(length > 0 ? text : "", static_cast<std::size_t>(length));
}

CString& CString::operator+=(const CString& other) {
    const char* text = other.GetString();
    Append(text, std::strlen(text));
    return *this;
}

CString& CString::operator+=(const char* text) {
    RequireArgument(text != nullptr);
    Append(text, std::strlen(text));
    return *this;
}

CString& CString::operator+=(const WideChar* text) {
    RequireArgument(text != nullptr);
    const std::string converted = AnsiOf(text);
    Append(converted.c_str(), std::strlen(converted.c_str()));
    return *this;
}

void CString::Assign(const char* text, std::size_t length) {
    if (length < size_) {  // room for the text and its terminator; no "+ 1" to wrap
        std::memmove(buffer_, text, length);  // text may lie in this buffer
        buffer_[length] = '\0';
        return;
    }
    if (length == 0) return;  // no buffer yet, and none is needed for ""
    char* replacement = AllocateBuffer(length + 1);
    std::memcpy(replacement, text, length);
    replacement[length] = '\0';
    delete[] buffer_;
    buffer_ = replacement;
    size_ = length + 1;
}

void CString::Append(const char* text, std::size_t length) {
    const std::size_t current = std::strlen(GetString());
    const std::size_t needed = current + length + 1;
    if (needed <= size_) {
        std::memmove(buffer_ + current, text, length);
        buffer_[current + length] = '\0';
        return;
    }
    // Copy before the old buffer goes: `text` may be this string's own text.
    char* grown = AllocateBuffer(needed);
    std::memcpy(grown, GetString(), current);
    std::memcpy(grown + current, text, length);
    grown[current + length] = '\0';
    delete[] buffer_;
    buffer_ = grown;
    size_ = needed;
}

int CString::GetLength() const { return static_cast<int>(std::strlen(GetString())); }

char CString::GetAt(int index) const {
    RequireArgument(index >= 0 && index < GetLength());
    return buffer_[index];
}

int CString::Compare(const char* text) const {
    RequireArgument(text != nullptr);
    return std::strcmp(GetString(), text);
}

int CString::Find(char c) const {
    if (c == '\0') return -1;
    const char* found = std::strchr(GetString(), c);
    return found != nullptr ? static_cast<int>(found - GetString()) : -1;
}

int CString::ReverseFind(char c) const {
    if (c == '\0') return -1;
    const char* found = std::strrchr(GetString(), c);
    return found != nullptr ? static_cast<int>(found - GetString()) : -1;
}

CString CString::Left(int count) const {
    RequireArgument(count >= 0);
    return Mid(0, count);
}

CString CString::Mid(int start, int count) const {
    const int length = GetLength();
    RequireArgument(start >= 0 && start <= length && count >= 0);
    const int taken = count < length - start ? count : length - start;
    CString part;
    part.Assign(GetString() + start, static_cast<std::size_t>(taken));
    return part;
}

void CString::Format(const char* format, ...) {
    RequireArgument(format != nullptr);
    char text[kMaxFormatted + 1];
    std::va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    RequireArgument(written >= 0);
    *this = text;
}

CString operator+(const CString& left, const CString& right) {
    CString joined(left);
    joined += right;
    return joined;
}

CString operator+(const CString& left, const char* right) {
    CString joined(left);
    joined += right;
    return joined;
}

bool operator==(const CString& left, const CString& right) { return left.Compare(right.GetString()) == 0; }

}  // namespace paylode
