/*
 * Owners of the Windows resources the component holds: each frees its
 * resource when it goes, cannot be copied (only moved), and hands it over
 * only when told to. A raw BSTR, key, handle or lock never changes owner
 * silently: what Detach hands out must be taken, and Receive, the
 * out-parameter of a call, is only for an empty owner (one that holds a
 * value throws E_UNEXPECTED; Reset it first to replace the value).
 *
 *   CBstr name = CBstr::Make(L"Bank Payment Service");  // a copy; E_OUTOFMEMORY thrown
 *   CBstr text;
 *   payment->GetPayeeSortCode(text.Receive());          // an out-parameter, freed here
 *   *out = name.Copy();                                 // a new BSTR for a caller
 *   *out = name.Detach();                               // or this one itself
 *   UINT length = text.Length();
 *
 *   CRegistryKey key;
 *   ThrowIfWin32Error(RegCreateKeyExW(HKEY_CLASSES_ROOT, path, ..., key.Receive(), nullptr));
 *   CFindHandle search(FindFirstFileA(pattern, &entry));   // INVALID_HANDLE_VALUE: none
 *   CHandle file(CreateFileW(path, ...));                   // INVALID_HANDLE_VALUE: none
 *   CHandle process(information.hProcess);                  // null: none
 *   CLocalMemory<char> text;                               // LocalAlloc'd by the system
 *   FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | ..., reinterpret_cast<char*>(text.Receive()), ...);
 *
 *   CVariant id;                           // VT_EMPTY
 *   ThrowIfFailed(VariantCopy(id.Receive(), source));
 *   return id.CopyTo(out);                 // a copy for a caller
 *
 *   CSrwExclusiveHold hold(lock);          // AcquireSRWLockExclusive until the scope ends
 *
 * Interface pointers are held by Microsoft::WRL::ComPtr; see
 * combase/ComPointers.h for what to know about it and how to make objects.
 */
#pragma once

#include <utility>

#include "common/win/Platform.h"
#include "common/win/Throw.h"

namespace paylode {

namespace detail {

// Receive's check: an owner that still holds a value would lose it.
inline void RequireEmpty(bool empty) {
    if (!empty) ThrowHResult(kUnexpected);
}

}  // namespace detail

// ---- BSTR -------------------------------------------------------------------

class CBstr {
public:
    CBstr() = default;
    CBstr(CBstr&& other) noexcept : value_(other.Detach()) {}
    CBstr& operator=(CBstr&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    ~CBstr() { SysFreeString(value_); }

    // A new BSTR holding a copy of `text` (up to its NUL; null gives an empty
    // BSTR), or of `length` characters of it. E_OUTOFMEMORY is thrown.
    static CBstr Make(const wchar_t* text) { return Make(text, text != nullptr ? lstrlenW(text) : 0); }
    static CBstr Make(const wchar_t* text, int length) {
        CBstr made;
        made.value_ = ThrowIfNullAlloc(SysAllocStringLen(text, static_cast<UINT>(length)));
        return made;
    }
    // Takes over a BSTR that the caller owns (one made by AllocSysString).
    static CBstr Adopt(BSTR owned) {
        CBstr adopted;
        adopted.value_ = owned;
        return adopted;
    }

    BSTR Get() const { return value_; }
    // Its length in characters, embedded NULs included; 0 for none.
    UINT Length() const { return SysStringLen(value_); }
    // The out-parameter of a call that hands over a BSTR.
    BSTR* Receive() {
        detail::RequireEmpty(value_ == nullptr);
        return &value_;
    }
    // Hands the BSTR to the caller, who frees it; this owner is empty after.
    [[nodiscard]] BSTR Detach() { return std::exchange(value_, nullptr); }
    // A new copy for a caller, whole (embedded NULs included); null for none.
    // E_OUTOFMEMORY is thrown.
    BSTR Copy() const {
        if (value_ == nullptr) return nullptr;
        return ThrowIfNullAlloc(SysAllocStringLen(value_, Length()));
    }
    void Reset(BSTR owned = nullptr) { SysFreeString(std::exchange(value_, owned)); }

private:
    BSTR value_ = nullptr;
};

// ---- VARIANT ------------------------------------------------------------------

class CVariant {
public:
    CVariant() : value_() { VariantInit(&value_); }
    CVariant(CVariant&& other) noexcept : value_(other.Detach()) {}
    CVariant& operator=(CVariant&& other) noexcept {
        if (this != &other) {
            VariantClear(&value_);
            value_ = other.Detach();
        }
        return *this;
    }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
    ~CVariant() { VariantClear(&value_); }

    const VARIANT& Get() const { return value_; }
    // The out-parameter of a call that fills a VARIANT.
    VARIANT* Receive() {
        detail::RequireEmpty(V_VT(&value_) == VT_EMPTY);
        return &value_;
    }
    // Clears the value; the owner is VT_EMPTY after.
    void Reset() { VariantClear(&value_); }
    // A copy for a caller into `out`, which is taken as uninitialised.
    HRESULT CopyTo(VARIANT* out) const {
        VariantInit(out);
        return VariantCopy(out, const_cast<VARIANT*>(&value_));
    }
    // Hands the value to the caller, who clears it; this owner is VT_EMPTY.
    [[nodiscard]] VARIANT Detach() {
        VARIANT detached = value_;
        VariantInit(&value_);
        return detached;
    }

private:
    VARIANT value_;
};

// ---- handles -------------------------------------------------------------------

// An owner of one handle-like value; Traits gives its type, which of its
// values mean none, and how it is closed. An empty owner holds the type's
// zero value.
template <typename Traits>
class CUniqueHandle {
public:
    using Type = typename Traits::Type;

    CUniqueHandle() = default;
    // Takes over `owned` (a value meaning none is fine: nothing is held).
    explicit CUniqueHandle(Type owned) : value_(owned) {}
    CUniqueHandle(CUniqueHandle&& other) noexcept : value_(other.Detach()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    ~CUniqueHandle() { Reset(); }

    Type Get() const { return value_; }
    explicit operator bool() const { return !Traits::IsNone(value_); }
    // The out-parameter of a call that opens one.
    Type* Receive() {
        detail::RequireEmpty(Traits::IsNone(value_));
        return &value_;
    }
    [[nodiscard]] Type Detach() { return std::exchange(value_, Type{}); }
    void Reset(Type owned = Type{}) {
        const Type old = std::exchange(value_, owned);
        if (!Traits::IsNone(old)) Traits::Close(old);
    }

private:
    Type value_ = Type{};
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static bool IsNone(Type key) { return key == nullptr; }
    static void Close(Type key) { RegCloseKey(key); }
};
// A kernel handle closed by `close`. The calls that open one say "none"
// either way: CreateFile and FindFirstFile with INVALID_HANDLE_VALUE, most
// others with null; both mean none here, whichever call made it.
template <BOOL(WINAPI* close)(HANDLE)>
struct HandleTraits {
    using Type = HANDLE;
    static bool IsNone(Type handle) { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { close(handle); }
};
// A value that null means none of, closed by `close`.
template <typename T, BOOL(WINAPI* close)(T)>
struct NullHandleTraits {
    using Type = T;
    static bool IsNone(Type handle) { return handle == nullptr; }
    static void Close(Type handle) { close(handle); }
};
template <typename T>
struct LocalMemoryTraits {
    using Type = T*;
    static bool IsNone(Type memory) { return memory == nullptr; }
    static void Close(Type memory) { LocalFree(memory); }
};

// An open registry key (RegCloseKey).
using CRegistryKey = CUniqueHandle<RegistryKeyTraits>;
// A search of FindFirstFile (FindClose).
using CFindHandle = CUniqueHandle<HandleTraits<FindClose>>;
// A file, process, thread or other kernel object (CloseHandle).
using CHandle = CUniqueHandle<HandleTraits<CloseHandle>>;
// An icon loaded with LoadImage (DestroyIcon).
using CIcon = CUniqueHandle<NullHandleTraits<HICON, DestroyIcon>>;
// A library loaded with LoadLibrary (FreeLibrary).
using CLibrary = CUniqueHandle<NullHandleTraits<HMODULE, FreeLibrary>>;
// Memory the system allocated with LocalAlloc for the caller (LocalFree),
// as FormatMessage with FORMAT_MESSAGE_ALLOCATE_BUFFER hands it out.
template <typename T>
using CLocalMemory = CUniqueHandle<LocalMemoryTraits<T>>;

// ---- locks ------------------------------------------------------------------------

// Holds an SRW lock exclusively for as long as it lives.
class CSrwExclusiveHold {
public:
    explicit CSrwExclusiveHold(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~CSrwExclusiveHold() { ReleaseSRWLockExclusive(&lock_); }
    CSrwExclusiveHold(const CSrwExclusiveHold&) = delete;
    CSrwExclusiveHold& operator=(const CSrwExclusiveHold&) = delete;

private:
    SRWLOCK& lock_;
};

}  // namespace paylode
