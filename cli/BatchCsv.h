/*
 * A batch of payments from a CSV file, read the same way by the tool's
 * payment export and by the Windows host program, and the statuses listing
 * both print. The file is UTF-8 (a byte-order mark allowed) with RFC 4180
 * quoting; its first row names the columns, in any order and any subset of:
 *   amount, payer_sort_code, payer_account_number, payee_bacs_reference,
 *   payee_sort_code, payee_account_number, payee_account_name,
 *   payee_roll_number, details, status
 * A missing column is empty (0 for amount and status). A nonzero status marks
 * the payment as an inter-account transfer, as a host payment's status does
 * when the payment options dialog closes.
 */
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "common/TextConversion.h"
#include "payments/PaymentView.h"

namespace paylode::cli {

// One payment as the host holds it: text as wide text, cut at an embedded NUL
// as the component cuts it.
using BatchPayment = PaymentFields<WideString>;

// Reads the batch from the file's bytes. False, with `error` naming the line,
// when the CSV is malformed, a column is unknown or a value cannot be read;
// `payments` is then left as it was.
bool ReadBatchPayments(const std::string& bytes, std::vector<BatchPayment>* payments, std::string* error);

// The same batch as the component sees it: every text in its 8-bit ANSI text
// (AnsiFromWide), as the host's payments would reach the record writers.
bool ReadPaymentBatch(const std::string& bytes, std::vector<CPaymentValues>* payments, std::string* error);

// One line of a statuses listing: "index,code,text\n", the text quoted
// (RFC 4180) when it holds a comma, a quote, a carriage return or a line feed.
// A null text is empty. Write errors show in ferror(file).
void WriteStatusLine(std::FILE* file, std::size_t index, long code, const char* text);

}  // namespace paylode::cli
