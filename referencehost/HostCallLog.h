/*
 * The reference host's record of what the bank component does to it.
 *
 * Every host object appends each call made on it (object, operation,
 * arguments, result) to one shared log, in the order of the calls, so that a
 * test or the host program can read back the whole conversation. The log
 * also holds the faults to play: a call that is to fail with a chosen HRESULT
 * (with error information the component can read) or a text getter that is
 * to hand back a null BSTR. Calls are named "object.Operation", for example
 * "payment[1].GetPayeeSortCode"; "*.Operation" names it on every object.
 */
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/win/Platform.h"

namespace paylode::referencehost {

struct HostCall {
    std::string object;     // "payments", "payment[0]", "account", "transaction[2]"
    std::string operation;  // "SetStatus"
    std::string arguments;  // the in-arguments as text: 20, "12-34-56", VT_I4 1
    HRESULT result = S_OK;
    std::string outcome;  // what came back, where the log shows it
    bool completed = false;

    // object.Operation(arguments), " -> outcome" when there is one, and
    // " failed 0x80004005" for a failure.
    std::string Text() const;
};

class CHostCallLog {
public:
    // Appends the call (and writes it to the record file, if there is one);
    // gives its position, so that its result can be filled in once known.
    std::size_t Record(HostCall call);
    void Complete(std::size_t position, HRESULT result);
    // A text file that receives every call as one line, for a log kept across
    // processes (the registered objects write theirs there). A call is
    // written once it and every call before it have completed, so the file
    // keeps the order of the calls, a callback after the call that made it.
    void WriteTo(std::wstring path) { file_ = std::move(path); }
    const std::vector<HostCall>& Calls() const { return calls_; }
    // For long runs (benchmarks): calls are counted, not kept or written.
    void CountOnly() { countOnly_ = true; }
    // Every call made so far, kept or not.
    std::size_t CallCount() const { return count_; }
    // Every call as text; with an object name, only that object's calls.
    std::vector<std::string> Texts(const std::string& object = {}) const;
    void Clear() {
        calls_.clear();
        written_ = 0;
    }

    void FailCall(const std::string& call, HRESULT result) { failures_[call] = result; }
    void ReturnNullText(const std::string& call) { nullTexts_.insert(call); }
    HRESULT InjectedFailure(const std::string& object, const std::string& operation) const;
    bool NullTextInjected(const std::string& object, const std::string& operation) const;

    // Host objects alive now: each counts itself, so a test sees a reference
    // the component forgot to release.
    int LiveObjects() const { return live_; }
    void ObjectCreated() { ++live_; }
    void ObjectDestroyed() { --live_; }

private:
    void Write(const HostCall& call) const;

    std::vector<HostCall> calls_;
    std::wstring file_;
    std::size_t written_ = 0;  // calls written to the file so far
    std::size_t count_ = 0;
    bool countOnly_ = false;
    std::map<std::string, HRESULT> failures_;
    std::set<std::string> nullTexts_;
    int live_ = 0;
};

// Argument text for the log.
std::string TextArgument(const wchar_t* text);  // "quoted", or null
std::string NumberArgument(double value);       // shortest form: 12.5
std::string VariantArgument(const VARIANT* value);

// Makes error information for a failing call, so that the caller can take
// the description with GetErrorInfo.
void SetCallErrorInfo(REFIID iid, const std::string& description);

}  // namespace paylode::referencehost
