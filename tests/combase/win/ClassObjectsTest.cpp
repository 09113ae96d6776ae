// In process: the class objects over a table of two classes of the test's
// own and a module lock of the test's own, as the reference host's server
// uses them: what a request answers, one class object per class handing
// creation to its row, when the module is locked, and the module's end.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include "combase/ClassObjects.h"
#include "support/HResultAssert.h"

namespace paylode {
namespace {

using Microsoft::WRL::ComPtr;

long locks = 0;
void Lock() { ++locks; }
void Unlock() { --locks; }

// What the last creation of a class was handed.
struct Creation {
    int calls = 0;
    IUnknown* outer = nullptr;
    IID iid = {};
    void** object = nullptr;
};
Creation creations[2];

// The first class makes nothing and says so; the second refuses.
template <int Row>
HRESULT Create(IUnknown* outer, REFIID iid, void** object) {
    Creation& creation = creations[Row];
    ++creation.calls;
    creation.outer = outer;
    creation.iid = iid;
    creation.object = object;
    return Row == 0 ? S_FALSE : E_ACCESSDENIED;
}

const CLSID kFirst = {0x2b1f6a10, 0x3c4d, 0x4e5f, {0x80, 0x91, 0xa2, 0xb3, 0xc4, 0xd5, 0xe6, 0x01}};
const CLSID kSecond = {0x2b1f6a10, 0x3c4d, 0x4e5f, {0x80, 0x91, 0xa2, 0xb3, 0xc4, 0xd5, 0xe6, 0x02}};
const CLSID kNone = {0x2b1f6a10, 0x3c4d, 0x4e5f, {0x80, 0x91, 0xa2, 0xb3, 0xc4, 0xd5, 0xe6, 0x03}};

// clang-format off
const ClassEntry kRows[] = {
    {&kFirst, &Create<0>, 0, false},
    {&kSecond, &Create<1>, 0, false},
};
// clang-format on

class ClassObjectsOverATable : public ::testing::Test {
protected:
    void SetUp() override {
        locks = 0;
        creations[0] = creations[1] = Creation{};
    }
    void TearDown() override {
        objects_.Release();
        EXPECT_EQ(0, locks) << "every lock is given back";
    }
    ComPtr<IClassFactory> Factory(const CLSID& clsid) {
        ComPtr<IClassFactory> factory;
        EXPECT_HR(S_OK, objects_.Get(clsid, IID_PPV_ARGS(&factory)));
        return factory;
    }

    CClassObjects objects_{{kRows, std::size(kRows)}, {&Lock, &Unlock}};
};

TEST_F(ClassObjectsOverATable, ARequestIsAnsweredForTheTablesClassesOnly) {
    struct Row {
        const char* name;
        const CLSID* clsid;
        const IID* iid;
        bool nullOut;
        HRESULT expected;
    };
    // clang-format off
    const Row rows[] = {
        {"class factory", &kFirst, &IID_IClassFactory, false, S_OK},
        {"IUnknown", &kSecond, &IID_IUnknown, false, S_OK},
        {"no other interface", &kFirst, &IID_IDispatch, false, E_NOINTERFACE},
        {"a class of no row", &kNone, &IID_IClassFactory, false, CLASS_E_CLASSNOTAVAILABLE},
        {"null out pointer", &kFirst, &IID_IClassFactory, true, E_POINTER},
        {"null out pointer, class of no row", &kNone, &IID_IClassFactory, true, E_POINTER},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_HR(row.expected, objects_.Get(*row.clsid, *row.iid, row.nullOut ? nullptr : &object));
        if (row.nullOut) continue;
        if (FAILED(row.expected)) {
            EXPECT_EQ(nullptr, object);
        } else {
            static_cast<IUnknown*>(object)->Release();
        }
    }
    EXPECT_EQ(FindClass({kRows, std::size(kRows)}, kSecond), &kRows[1]);
    EXPECT_EQ(FindClass({kRows, std::size(kRows)}, kNone), nullptr);
}

TEST_F(ClassObjectsOverATable, EachClassHasOneClassObjectThatHandsCreationToItsRow) {
    ComPtr<IUnknown> first, again, second;
    ASSERT_HR(S_OK, objects_.Get(kFirst, IID_PPV_ARGS(&first)));
    ASSERT_HR(S_OK, objects_.Get(kFirst, IID_PPV_ARGS(&again)));
    ASSERT_HR(S_OK, objects_.Get(kSecond, IID_PPV_ARGS(&second)));
    EXPECT_EQ(first.Get(), again.Get());
    EXPECT_NE(first.Get(), second.Get());

    // The row's creation function is handed the caller's arguments as they
    // are, and its answer is the class object's.
    IUnknown* outer = first.Get();
    void* made = nullptr;
    EXPECT_HR(E_ACCESSDENIED, Factory(kSecond)->CreateInstance(outer, IID_IDispatch, &made));
    EXPECT_EQ(0, creations[0].calls);
    EXPECT_EQ(1, creations[1].calls);
    EXPECT_EQ(outer, creations[1].outer);
    EXPECT_TRUE(IsEqualIID(IID_IDispatch, creations[1].iid));
    EXPECT_EQ(&made, creations[1].object);
    EXPECT_HR(S_FALSE, Factory(kFirst)->CreateInstance(nullptr, IID_IUnknown, nullptr));
    EXPECT_EQ(1, creations[0].calls);
    EXPECT_EQ(nullptr, creations[0].object);
}

TEST_F(ClassObjectsOverATable, EveryOutsideReferenceAndLockServerKeepsTheModuleLocked) {
    EXPECT_EQ(0, locks) << "making a class object does not lock";
    ComPtr<IClassFactory> first = Factory(kFirst);
    EXPECT_GT(locks, 0) << "one outside reference";
    ComPtr<IClassFactory> second = Factory(kSecond);
    ComPtr<IClassFactory> firstAgain = Factory(kFirst);
    first.Reset();
    EXPECT_GT(locks, 0) << "outside references on both class objects";
    firstAgain.Reset();
    EXPECT_GT(locks, 0) << "the second class's object still held";
    second.Reset();
    EXPECT_EQ(0, locks) << "only the module's own references left";

    ASSERT_HR(S_OK, Factory(kSecond)->LockServer(TRUE));
    EXPECT_EQ(1, locks) << "LockServer(TRUE), the class object let go";
    ASSERT_HR(S_OK, Factory(kFirst)->LockServer(FALSE));
    EXPECT_EQ(0, locks);
}

TEST_F(ClassObjectsOverATable, TheModulesEndLeavesAnOutsideReferenceWorking) {
    ComPtr<IClassFactory> held = Factory(kFirst);
    objects_.Release();
    EXPECT_HR(S_FALSE, held->CreateInstance(nullptr, IID_IUnknown, nullptr));
    held.Reset();
    EXPECT_EQ(0, locks);
    // A later request makes the class object anew.
    EXPECT_HR(S_FALSE, Factory(kFirst)->CreateInstance(nullptr, IID_IUnknown, nullptr));
}

}  // namespace
}  // namespace paylode
