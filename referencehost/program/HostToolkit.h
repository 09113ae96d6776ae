/*
 * What the commands of paylode-host share (the program that plays the host
 * application; its entry point and command table are HostMain.cpp and
 * HostCommands.h). The program reaches the bank component only through COM,
 * as the host does: the bank by its ProgID, the services collection, each
 * service by name.
 *
 * Every command ends a usage or input error, a component that cannot be
 * reached and a failing HRESULT with one exit status, kHostFailure; its
 * other statuses are its own (see docs/developers-guide.md).
 */
#pragma once

#include <CLI/CLI.hpp>

#include <wrl/client.h>

#include <string>

#include "common/TextConversion.h"
#include "host/HostInterfaces.h"

namespace paylode::hostprogram {

constexpr int kHostFailure = 100;

struct Outcome {
    int status = 0;
};

// A failure the command reports on standard error and ends with kHostFailure.
struct HostFailure {
    std::string message;
};

// The 8-bit ANSI text a user would type for `utf8`; a HostFailure naming
// `what` when the code page cannot hold it.
std::string AnsiForTyping(const Utf8Text& utf8, const char* what);
// A file's full path, as the program's current folder completes it.
std::wstring FullPath(const Utf8Text& utf8);

// "0x80004005 Unspecified error": the HRESULT with the description of the
// error information on the thread, or else the system's text for it.
std::string DescribeHResult(HRESULT result);
// A HostFailure "CALL failed: 0x... description" for a failing HRESULT.
void ThrowIfFailedCall(HRESULT result, const std::string& call);

// The payment or reconciliation service of a newly created bank, fetched by
// name from its services collection. HostFailure when the component is not
// registered or any call fails.
Microsoft::WRL::ComPtr<ITorvoBankServices> CreateBankServices();
Microsoft::WRL::ComPtr<ITorvoBankService> ServiceNamed(const wchar_t* name);

// How a service's run ended, as the host reads it: the HRESULT, described at
// once (before another call replaces the thread's error information), and
// then the service's status value.
struct RunOutcome {
    HRESULT result = S_OK;
    std::string described;
    long status = 0;

    // "status value 1, ProcessPayments returned 0x00000001", with the
    // description of a failing HRESULT.
    std::string Line(const char* operation) const;
};
RunOutcome ReadRunOutcome(HRESULT result, ITorvoBankService* service);

// The fault to play in one operation: --fail-call N (the N-th call the
// component makes on a host object, from 1; 0 for none) fails with
// --fail-with (an HRESULT, 0x... or decimal; E_FAIL by default).
struct FaultOptions {
    long failCall = 0;
    std::string failWith = "0x80004005";
};
void AddFaultOptions(CLI::App& command, FaultOptions& options);

// --c-locale NAME: the process's C locale (setlocale(LC_ALL, NAME)) set as
// the command line is read, before the component is made, as a host
// application (or another component in its process) may set it.
void AddCLocaleOption(CLI::App& command);

// Arms the reference host's call plan for one operation when made, just
// before the operation; Report, just after it returned, says how many calls
// the component made on host objects and how many references on them it
// still holds: "host calls: 12, host references held after the call: 0".
class CHostCallWatch {
public:
    explicit CHostCallWatch(const FaultOptions& options);
    std::string Report() const;

private:
    long references_;
};

// One account "SORTCODE:ACCOUNTNUMBER"; HostFailure when there is no ":".
struct AccountOption {
    std::wstring sortCode, accountNumber;
};
AccountOption ParseAccount(const std::string& text);

// COM on this thread for as long as the object lives (single-threaded
// apartment, as the host's user-interface thread).
class CComApartment {
public:
    CComApartment();
    ~CComApartment();
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;
};

}  // namespace paylode::hostprogram
