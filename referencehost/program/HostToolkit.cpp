/*
 * What paylode-host's commands share: text conversion at the console,
 * reaching the registered component, describing a failure.
 */
#include "referencehost/program/HostToolkit.h"

#include <clocale>
#include <vector>

#include "common/HResult.h"
#include "common/win/Owners.h"
#include "common/win/SystemMessage.h"
#include "referencehost/HostCallPlan.h"

namespace paylode::hostprogram {

using Microsoft::WRL::ComPtr;

std::string AnsiForTyping(const Utf8Text& utf8, const char* what) {
    const std::wstring wide = WideFromUtf8(utf8);
    std::string ansi;
    if (!ExactAnsiFromWide(wide.data(), static_cast<int>(wide.size()), &ansi)) {
        throw HostFailure{std::string(what) + " holds characters that cannot be typed in this code page"};
    }
    return ansi;
}

std::wstring FullPath(const Utf8Text& utf8) {
    const std::wstring given = WideFromUtf8(utf8);
    std::vector<wchar_t> full(32768);
    const DWORD length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) throw HostFailure{"cannot make a full path of " + utf8.Bytes()};
    return std::wstring(full.data(), length);
}

std::string DescribeHResult(HRESULT result) {
    const std::string code = HResultText(result);
    std::wstring text;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        CBstr description;
        if (SUCCEEDED(info->GetDescription(description.Receive())) && description.Get() != nullptr) {
            text.assign(description.Get(), description.Length());
        }
    }
    if (text.empty()) text = WideFromAnsi(SystemMessage(static_cast<DWORD>(result)).c_str());
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return code + " " + (text.empty() ? std::string("(no description)") : Utf8FromWide(text).Bytes());
}

void ThrowIfFailedCall(HRESULT result, const std::string& call) {
    if (FAILED(result)) throw HostFailure{call + " failed: " + DescribeHResult(result)};
}

ComPtr<ITorvoBankServices> CreateBankServices() {
    CLSID bankClass = {};
    const HRESULT found = CLSIDFromProgID(L"TorvoKelmarBankPaylode.Bank", &bankClass);
    if (FAILED(found)) {
        throw HostFailure{"the component is not registered (TorvoKelmarBankPaylode.Bank: " + DescribeHResult(found) +
                          "); run paylode-host register"};
    }
    ComPtr<ITorvoBank> bank;
    ThrowIfFailedCall(CoCreateInstance(bankClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&bank)),
                      "creating TorvoKelmarBankPaylode.Bank");
    ComPtr<ITorvoBankServices> services;
    ThrowIfFailedCall(bank->GetServices(&services), "GetServices");
    if (!services) throw HostFailure{"GetServices returned no collection"};
    return services;
}

ComPtr<ITorvoBankService> ServiceNamed(const wchar_t* name) {
    const ComPtr<ITorvoBankServices> services = CreateBankServices();
    const CBstr serviceName = CBstr::Make(name);
    VARIANT index;
    VariantInit(&index);
    V_VT(&index) = VT_BSTR;
    V_BSTR(&index) = serviceName.Get();  // borrowed: the VARIANT is not cleared
    ComPtr<ITorvoBankService> service;
    ThrowIfFailedCall(services->GetItem(&index, &service), "GetItem(\"" + Utf8FromWide(name).Bytes() + "\")");
    if (!service) throw HostFailure{"GetItem(\"" + Utf8FromWide(name).Bytes() + "\") returned no service"};
    return service;
}

RunOutcome ReadRunOutcome(HRESULT result, ITorvoBankService* service) {
    RunOutcome outcome;
    outcome.result = result;
    outcome.described = DescribeHResult(result);
    ThrowIfFailedCall(service->GetServiceStatus(&outcome.status), "GetServiceStatus");
    return outcome;
}

std::string RunOutcome::Line(const char* operation) const {
    return "status value " + std::to_string(status) + ", " + operation + " returned " +
           (FAILED(result) ? described : HResultText(result));
}

void AddFaultOptions(CLI::App& command, FaultOptions& options) {
    command
        .add_option("--fail-call", options.failCall,
                    "the N-th call the component makes on a host object fails (from 1)")
        ->check(CLI::PositiveNumber);
    command.add_option("--fail-with", options.failWith, "the HRESULT of that failure, 0x... or decimal (0x80004005)")
        ->check([](const std::string& text) {
            HRESULT result = S_OK;
            return referencehost::ParseHResult(text, &result) ? std::string()
                                                              : "--fail-with must be an HRESULT, 0x... or decimal";
        });
}

void AddCLocaleOption(CLI::App& command) {
    command
        .add_option_function<std::string>(
            "--c-locale",
            [](const std::string& name) {
                if (std::setlocale(LC_ALL, name.c_str()) == nullptr) {
                    throw CLI::ValidationError("--c-locale", "no C locale is named " + name);
                }
            },
            "the process's C locale, as a host may set it (setlocale(LC_ALL, NAME)), e.g. German_Germany.1252")
        ->trigger_on_parse();
}

CHostCallWatch::CHostCallWatch(const FaultOptions& options)
    : references_(referencehost::CHostCallPlan::OutsideReferences()) {
    HRESULT failure = E_FAIL;
    referencehost::ParseHResult(options.failWith, &failure);
    referencehost::CHostCallPlan::Arm(options.failCall, failure);
}

std::string CHostCallWatch::Report() const {
    return "host calls: " + std::to_string(referencehost::CHostCallPlan::Calls()) +
           ", host references held after the call: " +
           std::to_string(referencehost::CHostCallPlan::OutsideReferences() - references_);
}

AccountOption ParseAccount(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) throw HostFailure{"--account must be written SORTCODE:ACCOUNTNUMBER"};
    return {WideFromUtf8(Utf8Text(text.substr(0, colon))), WideFromUtf8(Utf8Text(text.substr(colon + 1)))};
}

CComApartment::CComApartment() {
    ThrowIfFailedCall(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx");
}

CComApartment::~CComApartment() { CoUninitialize(); }

}  // namespace paylode::hostprogram
