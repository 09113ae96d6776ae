/*
 * The record writers of the payment file: 8-bit comma-separated lines of
 * exactly 85 columns, ended by CR LF, with no quoting. Each writer writes one
 * line, checks the payment against the bank's rules while it writes and
 * leaves the outcome in the payment's status: first 0, then, at the point
 * where each check fails, that check's code, so that the last failing check
 * wins. A failed check never stops the line from being written. Each writer
 * returns true when no check failed.
 *
 * Record types (column 4): "01" standard and template records, "03" IAT
 * (inter-account transfer), "06" bulk list header, "07" bulk list record,
 * "08" ad hoc bulk header, "09" ad hoc bulk record. In template-file mode the
 * bulk list header and records are written for the bulk list template file:
 * without date, amount and currency, and with the header's "T" and "N"
 * markers.
 */
#pragma once

#include "payments/PaymentView.h"
#include "payments/RecordOutput.h"

namespace paylode {

// Payment formats chosen in the payment options dialog.
enum PaymentFormat : int {
    kFormatStandard = 0,   // "Standard Domestic/IATs"
    kFormatTemplate = 1,   // "Use a Template for Domestic/IAT"
    kFormatBulkList = 2,   // "Bulk List Payments"
    kFormatAdHocBulk = 3,  // "Ad Hoc Bulk Payments"
};

constexpr int kRecordColumns = 85;

// Standard, template or IAT record (formats 0 and 1; a payment whose status
// is nonzero is an IAT) or bulk list record (format 2). `processingDate` is an
// OLE automation date; `ireland` selects "EUR" over "GBP".
bool WritePaymentRecord(IRecordOutput& file, IPaymentView& payment, double processingDate, int paymentFormat,
                        const char* templateName, bool ireland, bool templateFileMode);

// Bulk list header, from the batch's first payment.
bool WriteBulkListHeader(IRecordOutput& file, IPaymentView& payment, double processingDate, const char* templateName,
                         const char* beneficiaryReference, bool templateFileMode);

// Ad hoc bulk header, from the batch's first payment; column 9 carries the
// name part of the payment file's path.
bool WriteAdHocHeader(IRecordOutput& file, IPaymentView& payment, double processingDate,
                      const char* beneficiaryReference, const char* paymentFilePath);

// Ad hoc bulk record (format 3).
bool WriteAdHocRecord(IRecordOutput& file, IPaymentView& payment, int paymentFormat, bool ireland);

}  // namespace paylode
