/*
 * The operation guard's conversions (see OperationGuard.h).
 */
#include "combase/OperationGuard.h"

#include <wrl/client.h>

#include <new>
#include <string>
#include <utility>

#include "combase/ComPointers.h"
#include "common/DebugOutput.h"
#include "common/win/Owners.h"
#include "common/win/SystemMessage.h"
#include "common/TextConversion.h"
#include "common/win/Throw.h"

using Microsoft::WRL::ComPtr;

namespace paylode {

namespace {

struct TableRow {
    HRESULT thrown;
    const wchar_t* description;
};

// Row 0 also stands for every code that is not listed.
// clang-format off
constexpr TableRow kConversionTable[] = {
    {E_UNEXPECTED, L"Unexpected result"},
    {E_OUTOFMEMORY, L"Out of Memory"},
    {E_INVALIDARG, L"Invalid argument"},
    {E_NOTIMPL, L"Not implemented"},
    {E_NOINTERFACE, L"Interface not supported"},
};
// clang-format on

// Makes `info` the thread's error information. Both interfaces go when the
// caller's ComPtr ends; the thread keeps its own reference.
void InstallErrorInfo(ICreateErrorInfo* create) {
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create->QueryInterface(IID_PPV_ARGS(&info)))) SetErrorInfo(0, info.Get());
}

// The system's message text for `code` as the platform gives it, in the user's
// language, converted from the ANSI code page unchanged; empty when the
// system has none.
std::wstring SystemMessageText(DWORD code) {
    std::wstring wide;
    try {
        const std::string text = SystemMessage(code);
        if (!text.empty()) wide = WideFromAnsi(text.c_str(), static_cast<int>(text.size()));
    } catch (...) {
        // No memory for the text: the description stays empty.
    }
    return wide;
}

// 0x800AFFFF with `description` as the thread's error description.
HRESULT ReportDescribed(const std::wstring& description) noexcept {
    ComPtr<ICreateErrorInfo> create;
    const HRESULT created = CreateErrorInfo(&create);
    if (FAILED(created)) return created;
    create->SetDescription(const_cast<wchar_t*>(description.c_str()));
    InstallErrorInfo(create.Get());
    return kSystemTextResult;
}

// The failure's code and the place of its throw, on the debugger's output;
// for a failed host call, the host's own description when it gave one (the
// host itself gets DISP_E_EXCEPTION without it).
void TellDebugger(const CFailure& failure) noexcept {
    try {
        std::string line = "TorvoKelmarBankPaylode: " + failure.Text();
        if (failure.GetKind() == CFailure::Kind::HostCall && !failure.Description().empty()) {
            line += ": the host said \"" + AnsiFromWide(failure.Description().c_str()) + "\"";
        }
        WriteDebugOutput((line + "\n").c_str());
    } catch (...) {
        // No memory for the line: the failure is still returned.
    }
}

}  // namespace

HRESULT ConvertThrownHResult(HRESULT code) noexcept {
    if (code == DISP_E_EXCEPTION || HRESULT_FACILITY(code) == FACILITY_CONTROL) return code;
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create))) return code;
    HRESULT row = 0;
    for (HRESULT i = 0; i < static_cast<HRESULT>(sizeof kConversionTable / sizeof kConversionTable[0]); ++i) {
        if (kConversionTable[i].thrown == code) row = i;
    }
    create->SetDescription(const_cast<wchar_t*>(kConversionTable[row].description));
    InstallErrorInfo(create.Get());
    return kTableResultBase + (0xFFFE - row);
}

void ThrowDescribedFailure(std::wstring description, SourcePlace where) {
    throw CFailure(CFailure::Kind::Described, kSystemTextResult, where, std::move(description));
}

void ThrowWithSystemMessage(Win32Error code, SourcePlace where) {
    throw CFailure(CFailure::Kind::SystemMessage, kSystemTextResult, where, std::wstring(), code);
}

HRESULT ConvertCurrentException() noexcept {
    try {
        throw;
    } catch (const CFailure& failure) {
        TellDebugger(failure);
        switch (failure.GetKind()) {
        case CFailure::Kind::HostCall:
            // The host object's own description is not passed on: the
            // failure is told only by its code. Whatever the host call left
            // on the thread goes too, so that the caller cannot take it for
            // this failure's.
            SetErrorInfo(0, nullptr);
            return DISP_E_EXCEPTION;
        case CFailure::Kind::SystemMessage: return ReportDescribed(SystemMessageText(failure.Win32Code()));
        case CFailure::Kind::Described: return ReportDescribed(failure.Description());
        case CFailure::Kind::Code: break;
        }
        return ConvertThrownHResult(failure.Code());
    } catch (const std::bad_alloc&) {
        return ConvertThrownHResult(E_OUTOFMEMORY);
    } catch (...) {
        SetErrorInfo(0, nullptr);
        return E_UNEXPECTED;
    }
}

HRESULT HResultFromCaughtException() noexcept {
    try {
        throw;
    } catch (const CFailure& failure) {
        TellDebugger(failure);
        // A success code thrown by mistake must not pass for a success.
        return FAILED(failure.Code()) ? failure.Code() : E_UNEXPECTED;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace paylode
