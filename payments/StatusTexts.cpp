/*
 * The payment status texts, by code (see StatusTexts.h).
 */
#include "payments/StatusTexts.h"

namespace paylode {

const char* PaymentStatusText(long code) {
    switch (code) {
    case 0: return "Payment processed successfully.";
    case 20: return "This payment is valid but the payment batch has been rejected because of errors elsewhere.";
    case 21: return "Invalid Amount specified for payment: negative payments not supported.";
    case 22:
        return "Invalid Payer BACS Reference. This value must comprise only numeric values, and be no more than 4 "
               "digits long.";
    case 23: return "Invalid Payer Sort Code: the sort code must contain exactly 6 digits.";
    case 24: return "Invalid Payer Bank Account Number: the account number must be 8 digits and a numeric value.";
    case 25: return "Invalid or missing Payer bank account name.";
    case 26: return "Invalid or missing Payer Building Society roll number.";
    case 27:
        return "Invalid Payee BACS Reference. This value must comprise only numeric values, and be no more than 4 "
               "digits long.";
    case 28: return "Invalid Payee Sort Code: the sort code must contain exactly 6 digits.";
    case 29: return "Invalid Payee Bank Account Number: the account number must be 8 digits and a numeric value.";
    case 30: return "Invalid or missing Payee bank account name.";
    case 31: return "Invalid or missing Payee Building Society roll number.";
    case 32: return "Invalid or missing reference field.";
    case 33: return "Invalid or missing details field.";
    case 34: return "Invalid or unknown currency specified.";
    case 35: return "An error occurred with the status field.";
    default: return nullptr;
    }
}

}  // namespace paylode
