/*
 * The payment options dialog's placing and its list's columns; see
 * PaymentOptionsGeometry.h.
 */
#include "payments/PaymentOptionsGeometry.h"

namespace paylode {

// clang-format off
const PaymentListColumnInfo kPaymentListColumns[kPaymentListColumnCount] = {
    {"Sort Code", 65, false}, {"Acc. Number", 80, false}, {"Name", 95, false},   {"Amount", 70, true},
    {"Reference", 90, false}, {"Details", 110, false},    {"Is IAT", 50, false},   {"Account check", 190, false},
};
// clang-format on

ScreenRect PlaceDialog(const ScreenRect& dialog, const ScreenRect* owner, const ScreenRect& workArea) {
    const ScreenRect& centreOf = owner != nullptr ? *owner : workArea;
    const long width = dialog.right - dialog.left;
    const long height = dialog.bottom - dialog.top;
    long left = (centreOf.left + centreOf.right) / 2 - width / 2;
    long top = (centreOf.top + centreOf.bottom) / 2 - height / 2;
    if (left < workArea.left) {
        left = workArea.left;
    } else if (left + width > workArea.right) {
        left = workArea.right - width;
    }
    if (top < workArea.top) {
        top = workArea.top;
    } else if (top + height > workArea.bottom) {
        top = workArea.bottom - height;
    }
    return {left, top, left + width, top + height};
}

}  // namespace paylode
