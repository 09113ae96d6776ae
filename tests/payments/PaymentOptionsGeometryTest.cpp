// Where the payment options dialog goes when it opens, without a window.
#include "payments/PaymentOptionsGeometry.h"

#include <gtest/gtest.h>

namespace paylode {
namespace {

TEST(PlaceDialog, CentresOverTheOwnerThenKeepsWithinTheWorkArea) {
    const ScreenRect work{0, 0, 1280, 994};
    const ScreenRect dialog{0, 0, 600, 437};
    struct Row {
        const char* what;
        bool hasOwner;
        ScreenRect owner;
        long left, top;
    };
    // clang-format off
    const Row rows[] = {
        {"centred over the owner", true, {100, 100, 901, 701}, 200, 182},
        {"no owner: the work area", false, {}, 340, 279},
        {"owner at the left edge", true, {-400, 10, 200, 300}, 0, 0},
        {"owner beyond the right edge", true, {1200, 800, 1400, 1000}, 680, 557},
        {"halves rounded toward zero", true, {-3, -3, 0, 0}, 0, 0},
        {"dialog wider than the work area", true, {0, 0, 100, 100}, 0, 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const ScreenRect placed = PlaceDialog(dialog, row.hasOwner ? &row.owner : nullptr, work);
        EXPECT_EQ(row.left, placed.left);
        EXPECT_EQ(row.top, placed.top);
        EXPECT_EQ(600, placed.right - placed.left);
        EXPECT_EQ(437, placed.bottom - placed.top);
    }
    const ScreenRect wide{0, 0, 1500, 100};
    EXPECT_EQ(0, PlaceDialog(wide, nullptr, work).left);  // the left edge wins
    const ScreenRect odd{0, 0, 7, 7};
    const ScreenRect owner{-7, -7, 0, 0};
    const ScreenRect far{-1000, -1000, 1000, 1000};
    EXPECT_EQ(-6, PlaceDialog(odd, &owner, far).left);  // -7 / 2 is -3, then minus 3
}

}  // namespace
}  // namespace paylode
