/*
 * Failure values that cross from the portable core to the COM edge.
 *
 * Inside the component every failure is thrown as an HRESULT held in a
 * 32-bit signed integer (a failed Win32 call too: see common/win/Throw.h);
 * the operation guard at the COM edge turns the thrown value into what the
 * host sees. The guard also takes a Win32 error code held in a 32-bit
 * unsigned integer, which the component itself never throws. On Windows the
 * two types are exactly the SDK's HRESULT (LONG) and DWORD, so the guard's
 * catch clauses match them; the native build uses the fixed-width types of
 * the same size.
 */
#pragma once

#include <cstdint>

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

// Throws the code as the core's one failure type. Never returns.
[[noreturn]] void ThrowHResult(HResult code);

// Throws E_INVALIDARG unless the condition holds.
inline void RequireArgument(bool condition) {
    if (!condition) ThrowHResult(kInvalidArg);
}

}  // namespace paylode
