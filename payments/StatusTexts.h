/*
 * The texts of the payment status codes that the record writers leave on the
 * payments (0 success, 20 to 35 the bank's rules). The DLL shows the same
 * texts from its string table (identifier 300 + code); this table serves the
 * offline tool and the tests, and is what the string table is checked
 * against.
 */
#pragma once

namespace paylode {

// Payment status codes set by the record writers.
enum PaymentStatus : long {
    kStatusSuccess = 0,
    kStatusIatMark = 1,         // the IAT mark while the payment options dialog is open
    kStatusBatchRejected = 20,  // valid, but the payment file could not be made or kept
    kStatusInvalidAmount = 21,
    kStatusInvalidPayerSortCode = 23,
    kStatusInvalidPayerAccountNumber = 24,
    kStatusInvalidPayeeSortCode = 28,
    kStatusInvalidPayeeAccountNumber = 29,
    kStatusInvalidPayeeAccountName = 30,
};

// The text of a status code, or null for a code that has none (1 to 19,
// negative codes and codes above 35).
const char* PaymentStatusText(long code);

}  // namespace paylode
