// Under Wine: making an object of a class, plain or aggregated: a failing
// construction step or query destroys it again and unlocks the module.
#include <gtest/gtest.h>

#include "combase/ComPointers.h"
#include "combase/ComponentObject.h"
#include "support/HResultAssert.h"

namespace paylode {
namespace {

class CStepped : public ISupportErrorInfo, public CObjectRoot {
public:
    CStepped() { ++alive; }
    virtual ~CStepped() { --alive; }

    HRESULT FinalConstruct() { return step; }
    HRESULT InternalQueryInterface(REFIID iid, void** out) {
        static const QITAB table[] = {InterfaceEntry<CStepped, ISupportErrorInfo>(IID_ISupportErrorInfo), {}};
        return QueryInterfaceFromTable(this, table, iid, out);
    }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

    static inline HRESULT step = S_OK;
    static inline int alive = 0;
};

// An outer object that holds nothing of its own.
class COuter final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
};

TEST(ComponentObject, AFailedStepOrQueryDestroysTheObjectAgain) {
    COuter outer;
    struct Row {
        HRESULT step;
        IUnknown* outer;
        const IID* iid;
        HRESULT expected;
    };
    // clang-format off
    const Row rows[] = {
        {S_OK, nullptr, &IID_ISupportErrorInfo, S_OK},
        {S_OK, &outer, &IID_IUnknown, S_OK},
        {static_cast<HRESULT>(0x800AFFFD), nullptr, &IID_ISupportErrorInfo, static_cast<HRESULT>(0x800AFFFD)},
        {E_FAIL, &outer, &IID_IUnknown, E_FAIL},
        {S_OK, nullptr, &IID_IDispatch, E_NOINTERFACE},
        {S_OK, &outer, &IID_ISupportErrorInfo, CLASS_E_NOAGGREGATION},
    };
    // clang-format on
    const LONG locks = CModule::LockCount();
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        CStepped::step = rows[i].step;
        IUnknown* object = reinterpret_cast<IUnknown*>(1);
        EXPECT_HR(rows[i].expected,
                  CreateInstanceOf<CStepped>(rows[i].outer, *rows[i].iid, reinterpret_cast<void**>(&object)));
        if (SUCCEEDED(rows[i].expected)) {
            ASSERT_NE(nullptr, object);
            EXPECT_EQ(1, CStepped::alive);
            EXPECT_EQ(locks + 1, CModule::LockCount()) << "a live object locks the module";
            TakeOver(object).Reset();  // the last reference: the object goes, the module unlocks
        } else {
            EXPECT_EQ(nullptr, object);
        }
        EXPECT_EQ(0, CStepped::alive);
        EXPECT_EQ(locks, CModule::LockCount());
    }
    EXPECT_HR(E_POINTER, CreateInstanceOf<CStepped>(nullptr, IID_IUnknown, nullptr));
}

}  // namespace
}  // namespace paylode
