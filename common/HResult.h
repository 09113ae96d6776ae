/*
 * Failures inside the component, from the portable core to the COM edge.
 *
 * Every failure is thrown as one type, CFailure: the HRESULT (held in a
 * 32-bit signed integer), how the host is to be told of it, optional error
 * information in words, and the source file and line of the throw, which
 * the compiler fills in at the throwing call (a failed Win32 call too: see
 * common/win/Throw.h). The operation guard at the COM edge
 * (combase/OperationGuard.h) turns it into what the host sees, and names
 * the place of the throw on the debugger's output. On Windows HResult and
 * Win32Error are exactly the SDK's HRESULT (LONG) and DWORD; the native
 * build uses the fixed-width types of the same size.
 */
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace paylode {

#if defined(_WIN32)
using HResult = long;              // the SDK's HRESULT
using Win32Error = unsigned long;  // the SDK's DWORD
#else
using HResult = std::int32_t;
using Win32Error = std::uint32_t;
#endif
static_assert(sizeof(HResult) == 4 && sizeof(Win32Error) == 4, "32-bit codes");

constexpr HResult HResultOf(std::uint32_t bits) { return static_cast<HResult>(bits); }

constexpr HResult kOk = 0;
constexpr HResult kFalse = 1;
constexpr HResult kUnexpected = HResultOf(0x8000FFFFu);      // E_UNEXPECTED
constexpr HResult kOutOfMemory = HResultOf(0x8007000Eu);     // E_OUTOFMEMORY
constexpr HResult kInvalidArg = HResultOf(0x80070057u);      // E_INVALIDARG
constexpr HResult kNotImplemented = HResultOf(0x80004001u);  // E_NOTIMPL
constexpr HResult kNoInterface = HResultOf(0x80004002u);     // E_NOINTERFACE
constexpr HResult kPointer = HResultOf(0x80004003u);         // E_POINTER
constexpr HResult kFail = HResultOf(0x80004005u);            // E_FAIL

// "0x80004005": the code as eight upper-case hexadecimal digits.
std::string HResultText(HResult code);

// Where a failure was thrown. As the default argument of a throwing helper,
// Here() is the place of the helper's caller.
struct SourcePlace {
    const char* file = "";
    int line = 0;

    static constexpr SourcePlace Here(const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
        return {file, line};
    }
};

// The one type thrown for a failure inside the component.
class CFailure {
public:
    // How the host is told of the failure.
    enum class Kind : unsigned char {
        Code,           // the component's code for Code(), with its description
        HostCall,       // a call on a host object failed with Code(): told by that code alone
        SystemMessage,  // a Win32 error, Win32Code(): told with the system's message text for it
        Described,      // told in the component's own words, Description()
    };

    CFailure(Kind kind, HResult code, SourcePlace where, std::wstring description = std::wstring(),
             Win32Error win32Code = 0)
        : kind_(kind), code_(code), win32Code_(win32Code), description_(std::move(description)), where_(where) {}

    Kind GetKind() const { return kind_; }
    HResult Code() const { return code_; }
    Win32Error Win32Code() const { return win32Code_; }
    // The failure in words: the component's own, or what the failed host
    // object said of it; empty when there are none.
    const std::wstring& Description() const { return description_; }
    SourcePlace Where() const { return where_; }

    // "0x80070057 at payments/PaymentFile.cpp:120", for the debugger.
    std::string Text() const;

private:
    Kind kind_;
    HResult code_;
    Win32Error win32Code_;
    std::wstring description_;
    SourcePlace where_;
};

// Throws `code` as the component's own failure. Never returns.
[[noreturn]] void ThrowHResult(HResult code, SourcePlace where = SourcePlace::Here());

// Throws E_INVALIDARG unless the condition holds.
inline void RequireArgument(bool condition, SourcePlace where = SourcePlace::Here()) {
    if (!condition) ThrowHResult(kInvalidArg, where);
}

}  // namespace paylode
