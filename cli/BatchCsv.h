/*
 * A batch of payments from a CSV file, for the tool's payment export. The
 * file is UTF-8 (a byte-order mark allowed) with RFC 4180 quoting; its first
 * row names the columns, in any order and any subset of:
 *   amount, payer_sort_code, payer_account_number, payee_bacs_reference,
 *   payee_sort_code, payee_account_number, payee_account_name,
 *   payee_roll_number, details, status
 * A missing column is empty (0 for amount and status). A nonzero status marks
 * the payment as an inter-account transfer, as a host payment's status does
 * when the payment options dialog closes. Text becomes the 8-bit ANSI text
 * the component would see for the same host data.
 */
#pragma once

#include <string>
#include <vector>

#include "payments/PaymentView.h"

namespace paylode::cli {

// Reads the batch from the file's bytes. False, with `error` naming the line,
// when the CSV is malformed, a column is unknown or a value cannot be read.
bool ReadPaymentBatch(const std::string& bytes, std::vector<CPaymentValues>* payments, std::string* error);

// UTF-8 text to the component's 8-bit text. False when it is not UTF-8.
bool AnsiFromUtf8(const std::string& text, std::string* ansi);

}  // namespace paylode::cli
