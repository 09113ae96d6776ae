/*
 * Where the payment options dialog's window goes and how its IAT list is
 * laid out: the placing of the dialog over its owner within the work area,
 * and the list's columns in their order, with each one's header, width and
 * alignment.
 *
 * The window (payments/win/PaymentOptionsDialog.h) places itself and sets up
 * its list with these; the model (payments/PaymentOptionsModel.h) fills one
 * cell of each row per column. Nothing here needs a window, so the arithmetic
 * is tested natively.
 */
#pragma once

namespace paylode {

// A rectangle in screen pixels, right and bottom exclusive.
struct ScreenRect {
    long left = 0, top = 0, right = 0, bottom = 0;
};

// Where the dialog goes when it opens: its centre over the centre of the
// owner's window, or of the work area when the owner is null (hidden or
// minimised); then moved, where needed, so that its left and top edges, or
// failing that its right and bottom edges, lie within the work area. The
// size does not change.
ScreenRect PlaceDialog(const ScreenRect& dialog, const ScreenRect* owner, const ScreenRect& workArea);

// The columns of the IAT list.
enum PaymentListColumn : int {
    kColumnSortCode,
    kColumnAccountNumber,
    kColumnName,
    kColumnAmount,
    kColumnReference,
    kColumnDetails,
    kColumnIsIat,
    kColumnAccountCheck,  // the payee checks (payments/PayeeChecks.h)
    kPaymentListColumnCount
};

struct PaymentListColumnInfo {
    const char* header;
    int width;  // pixels
    bool rightAligned;
};

extern const PaymentListColumnInfo kPaymentListColumns[kPaymentListColumnCount];

}  // namespace paylode
