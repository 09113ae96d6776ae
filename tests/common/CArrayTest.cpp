// The growable array behind the services list: growth by the grow step,
// order kept through insertions, and the index checks.
#include "common/CArray.h"

#include <gtest/gtest.h>

namespace paylode {
namespace {

HResult Thrown(void (*call)(CArray<int>&), CArray<int>& array) {
    try {
        call(array);
    } catch (const CFailure& failure) {
        return failure.Code();
    }
    return kOk;
}

TEST(CArray, GrowsByTheNumberInsertedRoundedUpToEight) {
    CArray<int> array;
    EXPECT_EQ(0, array.GetCapacity());
    const int capacities[] = {8, 8, 8, 8, 8, 8, 8, 8, 16, 16};
    for (int i = 0; i < 10; ++i) {
        array.Append(i);
        EXPECT_EQ(capacities[i], array.GetCapacity()) << "after " << i + 1;
        EXPECT_EQ(i + 1, array.GetCount());
    }
    for (int i = 0; i < 10; ++i) EXPECT_EQ(i, array.GetAt(i));
    array.Clear();
    EXPECT_EQ(0, array.GetCount());
    EXPECT_EQ(0, array.GetCapacity());
}

TEST(CArray, InsertsAtAnyPositionUpToTheCount) {
    CArray<int> array;
    array.InsertAt(0, 2);
    array.InsertAt(0, 0);
    array.InsertAt(1, 1);
    array.InsertAt(3, 3);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(i, array.GetAt(i));
}

TEST(CArray, IndexesOutsideTheArrayAreInvalidArguments) {
    CArray<int> array;
    array.Append(5);
    using Call = void (*)(CArray<int>&);
    // clang-format off
    const Call calls[] = {
        [](CArray<int>& a) { a.GetAt(1); },     [](CArray<int>& a) { a.GetAt(-1); },
        [](CArray<int>& a) { a.InsertAt(2, 0); }, [](CArray<int>& a) { a.InsertAt(-1, 0); },
    };
    // clang-format on
    for (Call call : calls) EXPECT_EQ(kInvalidArg, Thrown(call, array));
    EXPECT_EQ(1, array.GetCount());
    EXPECT_EQ(kOk, Thrown([](CArray<int>& a) { a.GetAt(0); }, array));
}

}  // namespace
}  // namespace paylode
