/*
 * CString: the component's string class for 8-bit text in the ANSI code page.
 *
 * It owns one heap buffer. The length is not stored: it is found by scanning
 * for the terminating zero, so an embedded zero ends the text. Assignment
 * reuses the buffer when it is large enough and otherwise replaces it with one
 * of exactly the needed length; appending grows it to exactly the new length.
 * An empty CString reads as "", never as a null pointer.
 *
 * Failures are thrown as HRESULTs (common/HResult.h): E_INVALIDARG for a null
 * argument where text is required or an index outside the text, E_OUTOFMEMORY
 * when no buffer can be had.
 */
#pragma once

#include <cstddef>

#include "common/TextConversion.h"

#if defined(_WIN32)
struct HINSTANCE__;
#endif

namespace paylode {

class CString {
public:
    CString() noexcept = default;
    CString(const CString& other);
    CString(const char* text);      // null: E_INVALIDARG
    CString(const WideChar* text);  // converted to ANSI text; null gives ""
    virtual ~CString();

    CString& operator=(const CString& other);
    CString& operator=(const char* text);      // null: E_INVALIDARG
    CString& operator=(const WideChar* text);  // null gives ""

    // Sets the text to the first `length` characters at `text`, which need not
    // be terminated. A null `text` with a nonzero length: E_INVALIDARG.
    void SetString(const char* text, int length);
    // Empties the text; the buffer stays for the next assignment.
    void Empty() {
        if (buffer_ != nullptr) buffer_[0] = '\0';
    }

    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);      // null: E_INVALIDARG
    CString& operator+=(const WideChar* text);  // null: E_INVALIDARG

    // Number of characters before the first zero.
    int GetLength() const;
    bool IsEmpty() const { return GetLength() == 0; }
    // Character `index`; E_INVALIDARG unless 0 <= index < GetLength().
    char GetAt(int index) const;

    // Byte-wise, case-sensitive comparison: negative, zero or positive.
    int Compare(const char* text) const;

    // Index of the first or last `c`, -1 when absent or when the text is empty.
    int Find(char c) const;
    int ReverseFind(char c) const;

    // The first `count` characters, or the whole text when it is shorter.
    CString Left(int count) const;
    // `count` characters from `start`, cut back to what is left. `start` must
    // lie within the text (start == GetLength() gives "").
    CString Mid(int start, int count) const;

    // printf-style formatting; the result is cut to 255 characters.
    // A null format is E_INVALIDARG.
    void Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    const char* GetString() const { return buffer_ != nullptr ? buffer_ : ""; }
    operator const char*() const { return GetString(); }

    // Bytes held by the buffer, terminator included; 0 when there is none.
    std::size_t GetBufferSize() const { return size_; }

#if defined(_WIN32)
    // String-table entry `id` of `module`, at most 255 characters. True when
    // the text is not empty; on false the string is left unchanged.
    bool LoadString(HINSTANCE__* module, unsigned int id);
    // A new BSTR holding the text converted from the ANSI code page, which
    // the receiver frees. E_OUTOFMEMORY when none can be made.
    wchar_t* AllocSysString() const;
#endif

    static constexpr int kMaxFormatted = 255;

private:
    void Assign(const char* text, std::size_t length);
    void Append(const char* text, std::size_t length);

    char* buffer_ = nullptr;
    std::size_t size_ = 0;
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const char* right);
bool operator==(const CString& left, const CString& right);
inline bool operator!=(const CString& left, const CString& right) { return !(left == right); }

}  // namespace paylode
