/*
 * The payment formats the user chooses between in the payment options
 * dialog, and what each format asks of the dialog and of the payment file.
 *
 * Outside the program a format is a number: the dialog's radio buttons and
 * description strings are in format order, and the command lines take
 * --format 0 to 3. PaymentFormatFromNumber and PaymentFormatNumber are the
 * only ways between the two.
 */
#pragma once

namespace paylode {

enum class PaymentFormat {
    Standard = 0,   // "Standard Domestic/IATs"
    Template = 1,   // "Use a Template for Domestic/IAT"
    BulkList = 2,   // "Bulk List Payments"
    AdHocBulk = 3,  // "Ad Hoc Bulk Payments"
};

// The format numbered `number`; false, and `format` untouched, when no
// format has that number.
constexpr bool PaymentFormatFromNumber(long number, PaymentFormat* format) {
    if (number < static_cast<long>(PaymentFormat::Standard) || number > static_cast<long>(PaymentFormat::AdHocBulk)) {
        return false;
    }
    *format = static_cast<PaymentFormat>(number);
    return true;
}

constexpr int PaymentFormatNumber(PaymentFormat format) { return static_cast<int>(format); }

// The dialog takes a template name: the bank's template of the payments,
// or the bulk list's name.
constexpr bool TakesTemplateName(PaymentFormat format) {
    return format == PaymentFormat::Template || format == PaymentFormat::BulkList;
}

// The dialog takes a beneficiary reference, for the bulk header.
constexpr bool TakesBeneficiaryReference(PaymentFormat format) {
    return format == PaymentFormat::BulkList || format == PaymentFormat::AdHocBulk;
}

// The beneficiary reference is held to the field's character rules; ad hoc
// bulk payments take it as typed.
constexpr bool ChecksBeneficiaryReference(PaymentFormat format) { return format == PaymentFormat::BulkList; }

// Payments may be marked as inter-account transfers (IATs), and a marked
// payment is written as an IAT record.
constexpr bool AllowsIatMarks(PaymentFormat format) {
    return format == PaymentFormat::Standard || format == PaymentFormat::Template;
}

// The payment file opens with a header record made from the first payment.
constexpr bool HasHeaderRecord(PaymentFormat format) {
    return format == PaymentFormat::BulkList || format == PaymentFormat::AdHocBulk;
}

// A bulk list template file, named after the template, is written beside
// the payment file.
constexpr bool HasTemplateFile(PaymentFormat format) { return format == PaymentFormat::BulkList; }

}  // namespace paylode
