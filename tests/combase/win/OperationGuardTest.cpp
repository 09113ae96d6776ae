// Under Wine: what a caller of a guarded operation sees, the HRESULT and
// then what GetErrorInfo hands out, for every kind of thrown value; and the
// raising of failed calls on host objects.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/DebugOutput.h"
#include "common/HResult.h"
#include "combase/ComPointers.h"
#include "common/win/Platform.h"
#include "combase/HostCall.h"
#include "combase/OperationGuard.h"
#include "support/HResultAssert.h"
#include "common/win/Owners.h"

using Microsoft::WRL::ComPtr;

namespace paylode {
namespace {

// What the caller finds on the thread after the call: no error info at all,
// or its description.
struct Seen {
    HRESULT result;
    bool hasInfo;
    std::wstring description;
};

template <typename Body>
Seen CallGuarded(Body&& body) {
    Seen seen{Guarded(std::forward<Body>(body)), false, L""};
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        seen.hasInfo = true;
        CBstr description;
        EXPECT_HR(S_OK, info->GetDescription(description.Receive()));
        if (description.Get() != nullptr) seen.description = description.Get();
    }
    return seen;
}

void PutErrorInfo(const wchar_t* description) {
    ComPtr<ICreateErrorInfo> create;
    ASSERT_HR(S_OK, CreateErrorInfo(&create));
    create->SetDescription(const_cast<wchar_t*>(description));
    ComPtr<IErrorInfo> info;
    ASSERT_HR(S_OK, create.As(&info));
    ASSERT_HR(S_OK, SetErrorInfo(0, info.Get()));
}

std::wstring SystemText(DWORD code) {
    CLocalMemory<wchar_t> text;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, LANG_USER_DEFAULT, reinterpret_cast<wchar_t*>(text.Receive()), 0, nullptr);
    return text ? text.Get() : L"";
}

class OperationGuard : public ::testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }
    void TearDown() override { SetErrorInfo(0, nullptr); }
};

TEST_F(OperationGuard, AThrownHResultBecomesTheComponentsCodeAndDescription) {
    struct Row {
        HResult thrown;
        HRESULT result;
        const wchar_t* description;
    };
    // clang-format off
    const Row rows[] = {
        {HResultOf(0x8000FFFF), HRESULT(0x800AFFFE), L"Unexpected result"},
        {HResultOf(0x8007000E), HRESULT(0x800AFFFD), L"Out of Memory"},
        {HResultOf(0x80070057), HRESULT(0x800AFFFC), L"Invalid argument"},
        {HResultOf(0x80004001), HRESULT(0x800AFFFB), L"Not implemented"},
        {HResultOf(0x80004002), HRESULT(0x800AFFFA), L"Interface not supported"},
        // Every other code takes the first row.
        {HResultOf(0x80004005), HRESULT(0x800AFFFE), L"Unexpected result"},  // E_FAIL
        {HResultOf(0x80004003), HRESULT(0x800AFFFE), L"Unexpected result"},  // E_POINTER
        {HResultOf(0x80070002), HRESULT(0x800AFFFE), L"Unexpected result"},
        {HResultOf(0x800B0001), HRESULT(0x800AFFFE), L"Unexpected result"},  // facility 11
        {HResultOf(0x80090000), HRESULT(0x800AFFFE), L"Unexpected result"},  // facility 9
        {HResultOf(0x8002000A), HRESULT(0x800AFFFE), L"Unexpected result"},  // next to DISP_E_EXCEPTION
        {HResult(1), HRESULT(0x800AFFFE), L"Unexpected result"},
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << " thrown " << test::HResultText(rows[i].thrown));
        // Stale information on the thread is replaced.
        PutErrorInfo(L"earlier");
        const Seen seen = CallGuarded([&]() -> HRESULT { ThrowHResult(rows[i].thrown); });
        EXPECT_HR(rows[i].result, seen.result);
        EXPECT_TRUE(seen.hasInfo);
        EXPECT_EQ(rows[i].description, seen.description);
    }
}

TEST_F(OperationGuard, ConvertedCodesPassThroughWithTheInformationAlreadyOnTheThread) {
    const HRESULT passed[] = {HRESULT(0x800AFFFC), HRESULT(0x800AFFFE), HRESULT(0x800AFFFF),
                              HRESULT(0x800A0001), HRESULT(0x000A0001), HRESULT(0x80020009)};
    for (HRESULT code : passed) {
        SCOPED_TRACE(test::HResultText(code));
        PutErrorInfo(L"from the inner operation");
        Seen seen = CallGuarded([&] { ThrowHResult(code); });
        EXPECT_HR(code, seen.result);
        EXPECT_TRUE(seen.hasInfo);
        EXPECT_EQ(L"from the inner operation", seen.description);

        seen = CallGuarded([&] { ThrowHResult(code); });
        EXPECT_HR(code, seen.result);
        EXPECT_FALSE(seen.hasInfo) << "no new information";
    }
}

TEST_F(OperationGuard, AnInnerGuardedFailurePassesThroughAnOuterOne) {
    const Seen seen = CallGuarded([] {
        const HRESULT inner = Guarded([] { RequireArgument(false); });
        if (FAILED(inner)) ThrowHResult(inner);
    });
    EXPECT_HR(0x800AFFFC, seen.result);
    EXPECT_EQ(L"Invalid argument", seen.description);
}

TEST_F(OperationGuard, ANormalEndReturnsTheBodysResultWithoutErrorInformation) {
    for (HRESULT returned : {S_OK, S_FALSE, HRESULT(40), E_FAIL}) {
        SCOPED_TRACE(test::HResultText(returned));
        const Seen seen = CallGuarded([&] { return returned; });
        EXPECT_HR(returned, seen.result);
        EXPECT_FALSE(seen.hasInfo);
    }
    int runs = 0;
    const Seen seen = CallGuarded([&] { ++runs; });
    EXPECT_HR(S_OK, seen.result);
    EXPECT_EQ(1, runs);
}

TEST_F(OperationGuard, AThrownWin32CodeCarriesTheSystemsText) {
    struct Row {
        Win32Error code;
        bool hasText;
    };
    const Row rows[] = {{2, true}, {5, true}, {87, true}, {0x3FFFFFFFu, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        const Seen seen = CallGuarded([&] { ThrowWithSystemMessage(row.code); });
        EXPECT_HR(0x800AFFFF, seen.result);
        EXPECT_TRUE(seen.hasInfo);
        EXPECT_EQ(SystemText(row.code), seen.description);
        EXPECT_EQ(row.hasText, !seen.description.empty());
    }
}

TEST_F(OperationGuard, ADescribedFailureBecomesTheThreadsErrorInformation) {
    PutErrorInfo(L"left by an earlier call");
    const Seen seen = CallGuarded([&] { ThrowDescribedFailure(L"Bank file locked"); });
    EXPECT_HR(0x800AFFFF, seen.result);
    EXPECT_TRUE(seen.hasInfo);
    EXPECT_EQ(L"Bank file locked", seen.description);
}

TEST_F(OperationGuard, TheDebuggerIsToldTheCodeAndThePlaceOfTheThrow) {
    std::vector<std::string> told;
    ScopedDebugOutputHandler capture([&](const char* text) { told.push_back(text); });
    const int line = __LINE__ + 1;
    EXPECT_HR(0x800AFFFC, Guarded([] { RequireArgument(false); }));
    ASSERT_EQ(1u, told.size());
    EXPECT_EQ("TorvoKelmarBankPaylode: 0x80070057 at tests/combase/win/OperationGuardTest.cpp:" +
                  std::to_string(line) + "\n",
              told[0]);
    told.clear();
    EXPECT_HR(E_POINTER, ResultOf([] { ThrowHResult(E_POINTER); }));
    ASSERT_EQ(1u, told.size());
    EXPECT_NE(std::string::npos, told[0].find("OperationGuardTest.cpp:" + std::to_string(__LINE__ - 2)));
}

TEST_F(OperationGuard, NoMemoryIsTheComponentsOutOfMemoryCode) {
    PutErrorInfo(L"left by an earlier call");
    const Seen seen = CallGuarded([] { throw std::bad_alloc(); });
    EXPECT_HR(0x800AFFFD, seen.result);
    EXPECT_EQ(L"Out of Memory", seen.description);
}

TEST_F(OperationGuard, AnythingElseIsUnexpectedWithoutErrorInformation) {
    // clang-format off
    const std::function<void()> throwers[] = {
        [] { throw std::runtime_error("x"); },
        // A bare code is no failure of the component's: only CFailure is.
        [] { throw kInvalidArg; },
        [] { throw Win32Error(2); },
        [] { throw static_cast<ICreateErrorInfo*>(nullptr); },
        [] { throw 42; },
        [] { throw 42u; },
        [] { throw "text"; },
        [] { throw static_cast<short>(-1); },
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof throwers / sizeof throwers[0]; ++i) {
        SCOPED_TRACE(i);
        PutErrorInfo(L"left by an earlier call");
        const Seen seen = CallGuarded(throwers[i]);
        EXPECT_HR(E_UNEXPECTED, seen.result);
        EXPECT_FALSE(seen.hasInfo);
    }
}

// ---- COM entry points outside the guard --------------------------------------------

TEST_F(OperationGuard, OutsideTheGuardACaughtExceptionBecomesAPlainCodeLeavingTheErrorInformation) {
    struct Row {
        std::function<void()> body;
        HRESULT result;
    };
    // clang-format off
    const Row rows[] = {
        {[] {}, S_OK},
        {[] { ThrowHResult(E_INVALIDARG); }, E_INVALIDARG},
        {[] { ThrowHResult(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)); }, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)},
        {[] { ThrowHResult(S_FALSE); }, E_UNEXPECTED},  // a success code thrown is no success
        {[] { throw std::bad_alloc(); }, E_OUTOFMEMORY},
        {[] { throw std::runtime_error("x"); }, E_UNEXPECTED},
        {[] { throw Win32Error(2); }, E_UNEXPECTED},
        {[] { throw kInvalidArg; }, E_UNEXPECTED},
        {[] { throw 42; }, E_UNEXPECTED},
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        PutErrorInfo(L"left by an earlier call");
        EXPECT_HR(rows[i].result, ResultOf(rows[i].body));
        ComPtr<IErrorInfo> info;
        EXPECT_HR(S_OK, GetErrorInfo(0, &info)) << "the thread's error information is left alone";
    }
    EXPECT_HR(S_FALSE, ResultOf([] { return S_FALSE; }));
}

// ---- failed calls on host objects ------------------------------------------------

// An error information object that counts its references.
class CountedErrorInfo : public IErrorInfo {
public:
    ULONG references = 1;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IErrorInfo) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP GetGUID(GUID* guid) override {
        *guid = GUID_NULL;
        return S_OK;
    }
    STDMETHODIMP GetSource(BSTR* source) override {
        *source = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDescription(BSTR* text) override {
        *text = SysAllocString(L"host's own words");
        return S_OK;
    }
    STDMETHODIMP GetHelpFile(BSTR* file) override {
        *file = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetHelpContext(DWORD* context) override {
        *context = 0;
        return S_OK;
    }
};

// A host object that fails its calls, leaving error information on the
// thread, and answers ISupportErrorInfo for one interface when it has it.
class FailingHostObject : public ISupportErrorInfo {
public:
    FailingHostObject(bool hasSupport, REFIID supported) : hasSupport_(hasSupport), supported_(supported) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || (hasSupport_ && iid == IID_ISupportErrorInfo)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        asked = iid;
        return iid == supported_ ? S_OK : S_FALSE;
    }
    HRESULT Fail(HRESULT code) {
        SetErrorInfo(0, &info);
        return code;
    }
    ULONG references = 1;
    IID asked = GUID_NULL;
    CountedErrorInfo info;

private:
    bool hasSupport_;
    IID supported_;
};

// Two interface identifiers of a host's objects, as far as the test cares.
const IID kCalled = {0x1b2c3d4e, 0x5f60, 0x4a71, {0x82, 0x93, 0xa4, 0xb5, 0xc6, 0xd7, 0xe8, 0xf9}};
const IID kOther = {0x2c3d4e5f, 0x6071, 0x4b82, {0x93, 0xa4, 0xb5, 0xc6, 0xd7, 0xe8, 0xf9, 0x0a}};

TEST_F(OperationGuard, AFailedHostCallReachesTheHostAsAnExceptionWithoutItsDescription) {
    struct Row {
        bool hasSupport;
        IID supported;
        bool infoTaken;
    };
    const Row rows[] = {{true, kCalled, true}, {true, kOther, false}, {false, kCalled, false}};
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        FailingHostObject host(rows[i].hasSupport, rows[i].supported);

        // What the raising call carries.
        try {
            CheckHostCall(host.Fail(E_ACCESSDENIED), &host, kCalled);
            ADD_FAILURE() << "no exception";
        } catch (const CFailure& failure) {
            EXPECT_EQ(CFailure::Kind::HostCall, failure.GetKind());
            EXPECT_HR(E_ACCESSDENIED, failure.Code());
            EXPECT_EQ(rows[i].infoTaken ? L"host's own words" : L"", failure.Description());
        }
        ComPtr<IErrorInfo> left;
        EXPECT_HR(rows[i].infoTaken ? S_FALSE : S_OK, GetErrorInfo(0, &left)) << "taken off the thread";
        left.Reset();
        if (rows[i].hasSupport) {
            EXPECT_TRUE(host.asked == kCalled);
        }
        SetErrorInfo(0, nullptr);

        // What the host sees through the guard, and the debugger.
        std::string told;
        ScopedDebugOutputHandler capture([&](const char* text) { told += text; });
        const Seen seen = CallGuarded([&] {
            CheckHostCall(host.Fail(E_FAIL), &host, kCalled);
            return S_OK;
        });
        EXPECT_EQ(rows[i].infoTaken, told.find(": the host said \"host's own words\"\n") != std::string::npos) << told;
        EXPECT_HR(0x80020009, seen.result);
        EXPECT_FALSE(seen.hasInfo);
        EXPECT_EQ(1u, host.info.references) << "the host's error information was released";
        EXPECT_EQ(1u, host.references);
    }
}

TEST_F(OperationGuard, ASucceedingHostCallRaisesNothing) {
    FailingHostObject host(true, kCalled);
    for (HRESULT code : {S_OK, S_FALSE, HRESULT(2)}) {
        SCOPED_TRACE(test::HResultText(code));
        EXPECT_NO_THROW(CheckHostCall(code, &host, kCalled));
    }
    EXPECT_TRUE(host.asked == GUID_NULL) << "the object is asked only about a failure";
    try {
        CheckHostCall(E_FAIL, nullptr, kCalled);
        ADD_FAILURE() << "no exception";
    } catch (const CFailure& failure) {
        EXPECT_EQ(CFailure::Kind::HostCall, failure.GetKind());
        EXPECT_HR(E_FAIL, failure.Code());
        EXPECT_EQ(L"", failure.Description());
    }
}

TEST_F(OperationGuard, ACallThroughANullHostObjectIsAPointerException) {
    IUnknown* missing = nullptr;
    try {
        RequireHostObject(missing)->AddRef();
        ADD_FAILURE() << "no exception";
    } catch (const CFailure& failure) {
        EXPECT_EQ(CFailure::Kind::HostCall, failure.GetKind());
        EXPECT_HR(E_POINTER, failure.Code());
    }
    const Seen seen = CallGuarded([&] { RequireHostObject(missing)->AddRef(); });
    EXPECT_HR(0x80020009, seen.result);
    EXPECT_FALSE(seen.hasInfo);
    FailingHostObject host(false, kCalled);
    EXPECT_EQ(&host, RequireHostObject(&host));
}

}  // namespace
}  // namespace paylode
