/*
 * The operation guard: the one way in which a failure inside the component
 * reaches the host.
 *
 * Every operation that the host calls on the bank, the services collection
 * or a service runs its body inside Guarded(). The body throws a CFailure
 * (common/HResult.h) on failure, and the guard turns it into the HRESULT and
 * the COM error information (the thread's IErrorInfo) that the host sees,
 * by its kind:
 *
 *   HostCall (a failed call on a host object)    DISP_E_EXCEPTION, no error info
 *   Code (ThrowHResult and the Throw helpers)    the component's code 0x800AFFFA..0x800AFFFE
 *                                                 with its description; facility-10 codes and
 *                                                 DISP_E_EXCEPTION pass through untouched
 *   SystemMessage (a Win32 error code)            0x800AFFFF with the system's message text
 *   Described (ThrowDescribedFailure)             0x800AFFFF with the component's own words
 *   std::bad_alloc                                as the Code E_OUTOFMEMORY: 0x800AFFFD, "Out of Memory"
 *   anything else                                 E_UNEXPECTED, no error info
 *
 * A failure's code and the place of its throw go to the debugger's output.
 *
 * A method reads:
 *
 *   STDMETHODIMP CSomething::GetName(BSTR* name) {
 *       return Guarded([&] { RequireArgument(name != nullptr); ...; return S_OK; });
 *   }
 *
 * A body that returns nothing succeeds with S_OK.
 *
 * The other ways in which COM calls into the component (making objects,
 * registration, the enumerator, type information) are not host-facing
 * operations: they set no error information and answer with plain COM codes.
 * Their bodies run inside ResultOf(), which never lets an exception escape
 * either. (One construction step is host-facing: the services collection's,
 * which the bank's GetServices runs for the host, fills the collection in
 * Guarded, so that its failure reaches the host as GetServices' own.)
 *
 *   a CFailure whose code is a failure            that code
 *   std::bad_alloc                                E_OUTOFMEMORY
 *   anything else (a success code included)       E_UNEXPECTED
 */
#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "common/HResult.h"
#include "common/win/Platform.h"

namespace paylode {

// The component's own codes: FACILITY_CONTROL with 0xFFFE - row of the
// error conversion table, and 0xFFFF for a failure told by a description of
// its own (the system's message text, or the component's words).
constexpr HRESULT kTableResultBase = static_cast<HRESULT>(0x800A0000u);
constexpr HRESULT kSystemTextResult = static_cast<HRESULT>(0x800AFFFFu);

// Turns a thrown HRESULT into what the host sees and sets the thread's
// error information to match. Facility-10 codes and DISP_E_EXCEPTION come
// back unchanged with the thread's error information left as it is.
HRESULT ConvertThrownHResult(HRESULT code) noexcept;

// Ends the operation with a failure told in the component's own words: the
// host sees 0x800AFFFF with `description` as the thread's error description.
[[noreturn]] void ThrowDescribedFailure(std::wstring description, SourcePlace where = SourcePlace::Here());

// Ends the operation with a Win32 error told by the system's message text
// for it: the host sees 0x800AFFFF with that text as the description.
[[noreturn]] void ThrowWithSystemMessage(Win32Error code, SourcePlace where = SourcePlace::Here());

// Turns the exception being handled into the host's HRESULT. Only to be
// called from inside a catch block.
HRESULT ConvertCurrentException() noexcept;

// Turns the exception being handled into a plain COM code, leaving the
// thread's error information alone. Only to be called from inside a catch
// block.
HRESULT HResultFromCaughtException() noexcept;

namespace detail {

// The body's result, S_OK for a body that returns nothing; what it throws
// becomes what `convert` makes of it.
template <HRESULT (*convert)() noexcept, typename Body>
HRESULT RunCaught(Body& body) noexcept {
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Body&>>) {
            body();
            return S_OK;
        } else {
            return body();
        }
    } catch (...) {
        return convert();
    }
}

}  // namespace detail

template <typename Body>
HRESULT Guarded(Body&& body) noexcept {
    return detail::RunCaught<ConvertCurrentException>(body);
}

template <typename Body>
HRESULT ResultOf(Body&& body) noexcept {
    return detail::RunCaught<HResultFromCaughtException>(body);
}

}  // namespace paylode
