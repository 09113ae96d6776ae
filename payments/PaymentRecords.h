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

#include <string>

#include "payments/PaymentFormat.h"
#include "payments/PaymentView.h"
#include "payments/RecordOutput.h"

namespace paylode {

constexpr int kRecordColumns = 85;

// An amount as its column carries it: "%.2f" as the "C" locale writes it,
// whatever its size and whatever C locale the process has.
std::string AmountField(double amount);

// The currency of the amounts: euro payments for the Republic Of Ireland,
// sterling otherwise.
enum class RecordCurrency { Sterling, Euro };

constexpr RecordCurrency CurrencyFor(bool ireland) { return ireland ? RecordCurrency::Euro : RecordCurrency::Sterling; }

// The file a record is written for: the payment file, or the bulk list
// template file, whose records carry no date, amount or currency.
enum class RecordFile { PaymentFile, TemplateFile };

// The processing date given where no date is written (template file
// records) or none matters (records only checked).
constexpr double kNoProcessingDate = 0;

// The reference a payment's record carries, as written: the building
// society roll number, else the payee's BACS reference (at most 18
// characters; 16 in an IAT record, `iat`); in an ad hoc bulk record without
// either, the payer's sort code and account number digits; in a bulk list
// record the roll number alone.
std::string RecordReference(IPaymentView& payment, PaymentFormat format, bool iat);

// Standard, template or IAT record (standard and template formats; a
// payment whose status is nonzero is an IAT) or bulk list record (bulk list
// format). `processingDate` is an OLE automation date.
bool WritePaymentRecord(IRecordOutput& file, IPaymentView& payment, double processingDate, PaymentFormat format,
                        const char* templateName, RecordCurrency currency, RecordFile target);

// Bulk list header, from the batch's first payment.
bool WriteBulkListHeader(IRecordOutput& file, IPaymentView& payment, double processingDate, const char* templateName,
                         const char* beneficiaryReference, RecordFile target);

// Ad hoc bulk header, from the batch's first payment; column 9 carries the
// name part of the payment file's path.
bool WriteAdHocHeader(IRecordOutput& file, IPaymentView& payment, double processingDate,
                      const char* beneficiaryReference, const char* paymentFilePath);

// Ad hoc bulk record.
bool WriteAdHocRecord(IRecordOutput& file, IPaymentView& payment, RecordCurrency currency);

}  // namespace paylode
