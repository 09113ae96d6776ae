// Under Wine: the owners of Windows resources, the throw helpers, COM object
// creation and table-driven QueryInterface, as the component's classes rely
// on them: nothing freed twice or left behind, nothing handed over by
// accident.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "combase/ComPointers.h"
#include "common/win/Owners.h"
#include "support/HResultAssert.h"

using Microsoft::WRL::ComPtr;

namespace paylode {
namespace {

// A handle type whose closes are counted, to see exactly when an owner
// closes what it holds.
std::vector<int> closed;
struct CountedTraits {
    using Type = int;
    static bool IsNone(Type value) { return value == 0; }
    static void Close(Type value) { closed.push_back(value); }
};
using CCounted = CUniqueHandle<CountedTraits>;

TEST(Owners, HandleIsClosedOnceByWhoeverHoldsItLast) {
    struct Row {
        const char* what;
        void (*act)();
        std::vector<int> closedAfter;
    };
    // clang-format off
    const Row rows[] = {
        {"end of scope", [] { CCounted held(7); }, {7}},
        {"none held", [] { CCounted held; CCounted none(0); }, {}},
        {"reset to another", [] { CCounted held(7); held.Reset(8); }, {7, 8}},
        {"receive into an empty owner", [] { CCounted held; *held.Receive() = 9; }, {9}},
        {"receive refuses a held value", [] { CCounted held(7); EXPECT_THROW(held.Receive(), CFailure); EXPECT_EQ(7, held.Get()); }, {7}},
        {"reset, then receive", [] { CCounted held(7); held.Reset(); *held.Receive() = 9; }, {7, 9}},
        {"detach hands it over", [] { CCounted held(7); EXPECT_EQ(7, held.Detach()); EXPECT_FALSE(held); }, {}},
        {"move construction", [] { CCounted from(7); CCounted to(std::move(from)); EXPECT_FALSE(from); }, {7}},
        {"move assignment", [] { CCounted from(7); CCounted to(8); to = std::move(from); EXPECT_EQ(7, to.Get()); }, {8, 7}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        closed.clear();
        row.act();
        EXPECT_EQ(row.closedAfter, closed);
    }
}

TEST(Owners, FindHandleTakesInvalidHandleValueAsNone) {
    WIN32_FIND_DATAA entry;
    const CFindHandle missing(FindFirstFileA("C:\\no such folder\\*.*", &entry));
    EXPECT_FALSE(missing);
    const CFindHandle found(FindFirstFileA("C:\\windows\\*.*", &entry));
    EXPECT_TRUE(found);
}

TEST(Owners, KernelHandlesTakeNullAndInvalidHandleValueAsNone) {
    for (HANDLE none : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        SCOPED_TRACE(none);
        CHandle handle(none);
        CFindHandle search(none);
        EXPECT_FALSE(handle);
        EXPECT_FALSE(search);
        EXPECT_NO_THROW(handle.Receive()) << "nothing held to lose";
        EXPECT_NO_THROW(search.Receive());
    }
}

TEST(Owners, BstrKeepsItsWholeTextAndHandsOutCopiesOrItself) {
    CBstr text = CBstr::Make(L"12\0 34", 6);
    EXPECT_EQ(6u, text.Length());
    BSTR copy = text.Copy();
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(text.Get(), copy);
    EXPECT_EQ(std::wstring(L"12\0 34", 6), std::wstring(copy, SysStringLen(copy)));
    SysFreeString(copy);

    const BSTR held = text.Get();
    CBstr moved = std::move(text);
    EXPECT_EQ(held, moved.Get());
    EXPECT_EQ(nullptr, text.Get());
    EXPECT_EQ(0u, text.Length());
    EXPECT_EQ(nullptr, text.Copy());

    BSTR detached = moved.Detach();
    EXPECT_EQ(held, detached);
    EXPECT_EQ(nullptr, moved.Get());
    CBstr adopted = CBstr::Adopt(detached);
    EXPECT_EQ(held, adopted.Get());

    EXPECT_EQ(0u, CBstr::Make(nullptr).Length());
    EXPECT_NE(nullptr, CBstr::Make(nullptr).Get()) << "an empty text, not none";
}

TEST(Owners, BstrReceiveRefusesToRunOverAHeldValue) {
    CBstr text = CBstr::Make(L"first");
    const BSTR held = text.Get();
    try {
        text.Receive();
        ADD_FAILURE() << "nothing thrown";
    } catch (const CFailure& failure) {
        EXPECT_HR(E_UNEXPECTED, failure.Code());
    }
    EXPECT_EQ(held, text.Get()) << "kept, not freed";
    text.Reset();
    BSTR* out = text.Receive();
    EXPECT_EQ(nullptr, *out);
    *out = SysAllocString(L"second");
    EXPECT_EQ(std::wstring(L"second"), text.Get());
}

TEST(Owners, VariantClearsWhatItHeldAndCopiesForCallers) {
    CVariant id;
    EXPECT_EQ(VT_EMPTY, V_VT(&id.Get()));
    VARIANT source;
    VariantInit(&source);
    V_VT(&source) = VT_BSTR;
    V_BSTR(&source) = SysAllocString(L"CHQ 100234");
    ASSERT_HR(S_OK, VariantCopy(id.Receive(), &source));
    VariantClear(&source);
    EXPECT_THROW(id.Receive(), CFailure) << "a held value is not cleared behind the caller's back";
    EXPECT_EQ(VT_BSTR, V_VT(&id.Get()));

    VARIANT out;
    ASSERT_HR(S_OK, id.CopyTo(&out));
    EXPECT_EQ(VT_BSTR, V_VT(&out));
    EXPECT_NE(V_BSTR(&id.Get()), V_BSTR(&out));
    EXPECT_EQ(std::wstring(L"CHQ 100234"), V_BSTR(&out));
    VariantClear(&out);

    CVariant moved = std::move(id);
    EXPECT_EQ(VT_EMPTY, V_VT(&id.Get()));
    EXPECT_EQ(VT_BSTR, V_VT(&moved.Get()));
    VARIANT detached = moved.Detach();
    EXPECT_EQ(VT_BSTR, V_VT(&detached));
    EXPECT_EQ(VT_EMPTY, V_VT(&moved.Get()));
    VariantClear(&detached);
}

TEST(Owners, SrwHoldReleasesAtScopeEnd) {
    SRWLOCK lock = SRWLOCK_INIT;
    {
        CSrwExclusiveHold hold(lock);
        EXPECT_FALSE(TryAcquireSRWLockExclusive(&lock));
    }
    ASSERT_TRUE(TryAcquireSRWLockExclusive(&lock));
    ReleaseSRWLockExclusive(&lock);
}

TEST(ThrowHelpers, Win32ErrorsBecomeTheHResultsTheGuardReports) {
    const struct {
        DWORD error;
        HRESULT thrown;
    } rows[] = {
        {ERROR_FILE_NOT_FOUND, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {ERROR_INVALID_PARAMETER, E_INVALIDARG},
        {ERROR_NOT_ENOUGH_MEMORY, E_OUTOFMEMORY},
        {ERROR_OUTOFMEMORY, E_OUTOFMEMORY},
        {ERROR_SUCCESS, E_FAIL},  // a failure that gave no reason is still a failure
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.error);
        EXPECT_HR(row.thrown, HResultFromWin32(row.error));
        SetLastError(row.error);
        try {
            ThrowLastErrorIf(true);
            ADD_FAILURE() << "nothing thrown";
        } catch (const CFailure& failure) {
            EXPECT_HR(row.thrown, failure.Code());
        }
    }
    EXPECT_NO_THROW(ThrowLastErrorIf(false));
    EXPECT_NO_THROW(ThrowIfWin32Error(ERROR_SUCCESS));
    EXPECT_NO_THROW(ThrowIfFailed(S_FALSE));
    EXPECT_THROW(ThrowIfFailed(E_NOINTERFACE), CFailure);
    EXPECT_THROW(ThrowIfNullAlloc(static_cast<void*>(nullptr)), CFailure);
}

// A small COM object with two interfaces, counting the live ones.
int liveObjects = 0;
class CTwoFaced : public IDispatch, public ISupportErrorInfo {
public:
    explicit CTwoFaced(bool fail = false) {
        if (fail) throw std::runtime_error("construction failed");
        ++liveObjects;
    }
    ~CTwoFaced() { --liveObjects; }

    // IUnknown, answered by CComObject (combase/ComObject.h), declared once
    // for all of the class's interfaces, so that the class's own pointer
    // reaches it.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override = 0;
    STDMETHODIMP_(ULONG) AddRef() override = 0;
    STDMETHODIMP_(ULONG) Release() override = 0;
    HRESULT InternalQueryInterface(REFIID iid, void** out) {
        // clang-format off
        static const QITAB table[] = {
            InterfaceEntry<CTwoFaced, IDispatch>(IID_IDispatch),
            InterfaceEntry<CTwoFaced, ISupportErrorInfo>(IID_ISupportErrorInfo),
            {},
        };
        // clang-format on
        return QueryInterfaceFromTable(this, table, iid, out);
    }
    void ReferenceCounted(ULONG count, bool) { references = count; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID) override { return S_FALSE; }

    ULONG references = 1;
};

TEST(ComObject, MadeObjectHasOneReferenceAndGoesWithItsLastOwner) {
    liveObjects = 0;
    {
        ComPtr<CTwoFaced> object = MakeComObject<CTwoFaced>();
        EXPECT_EQ(1u, object->references);
        EXPECT_EQ(1, liveObjects);
    }
    EXPECT_EQ(0, liveObjects);
    EXPECT_THROW(MakeComObject<CTwoFaced>(true), std::runtime_error);
    EXPECT_EQ(0, liveObjects);
}

TEST(ComObject, QueryInterfaceAnswersFromTheTableWithIUnknownAsTheFirstRow) {
    ComPtr<CTwoFaced> object = MakeComObject<CTwoFaced>();
    const struct {
        const IID* iid;
        HRESULT result;
        void* expected;
    } rows[] = {
        {&IID_IUnknown, S_OK, static_cast<IDispatch*>(object.Get())},
        {&IID_IDispatch, S_OK, static_cast<IDispatch*>(object.Get())},
        {&IID_ISupportErrorInfo, S_OK, static_cast<ISupportErrorInfo*>(object.Get())},
        {&IID_IClassFactory, E_NOINTERFACE, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        void* out = reinterpret_cast<void*>(1);
        EXPECT_HR(row.result, object->QueryInterface(*row.iid, &out));
        EXPECT_EQ(row.expected, out);
        EXPECT_EQ(row.result == S_OK ? 2u : 1u, object->references);
        if (out != nullptr) static_cast<IUnknown*>(out)->Release();
    }
    EXPECT_HR(E_POINTER, object->QueryInterface(IID_IDispatch, nullptr));
    EXPECT_EQ(1u, object->references);
}

TEST(ComObject, TakeOverKeepsTheReferenceItWasGiven) {
    CTwoFaced* raw = MakeComObject<CTwoFaced>().Detach();
    {
        ComPtr<CTwoFaced> held = TakeOver(raw);
        EXPECT_EQ(1u, held->references);
    }
    EXPECT_EQ(0, liveObjects);
}

}  // namespace
}  // namespace paylode
