/*
 * The file steps of a payment run, shared by the component's payment service
 * and the `paylode export` tool, so that both write the same bytes:
 *
 *   - the bulk list template file ("Bulk List Payments" only), named after
 *     the template and written beside the payment file, after a question
 *     when one exists already;
 *   - the payment file: for the two bulk formats a header from the first
 *     payment, then one record per payment, each payment checked and left
 *     with its status.
 *
 * Both files go through the file seam (common/FileSystem.h): each is
 * written to a new file beside the chosen one and put in place in one step
 * only when it is whole, so that the chosen path holds either the complete
 * new file or exactly what it held before, whatever happens to the run: a
 * truncated payment file uploaded to the bank would pay some suppliers and
 * silently drop the rest, and a user's existing file must not be lost to a
 * run that failed.
 *
 * The batch is reached through IPaymentBatchView; each payment is fetched
 * when it is written and let go before the next is fetched.
 */
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/CString.h"
#include "common/FileSystem.h"
#include "common/MessageBox.h"
#include "payments/PaymentBatchView.h"
#include "payments/Journal.h"
#include "payments/PaymentFormat.h"

namespace paylode {

// The payment service's status value at the end of a run.
enum PaymentRunStatus : long {
    kRunCompleted = 0,        // every record written, no check failed
    kRunChecksFailed = 1,     // at least one payment failed a check
    kRunFileFailed = 2,       // no new payment file: it cannot be made, a payment cannot be fetched, or the run failed
    kRunCancelled = 3,        // the user cancelled the options or the save dialog
    kRunTooManyPayments = 40  // more payments than one file may hold
};

// The most payments one payment file may hold.
constexpr long kMaxPaymentsInFile = 4000;

// What the user chose in the payment options dialog.
struct PaymentFileChoices {
    double processingDate = 0;  // OLE automation date
    PaymentFormat paymentFormat = PaymentFormat::Standard;
    CString templateName;
    CString beneficiaryReference;
    bool ireland = false;  // euro payments for the Republic Of Ireland
};

// How writing the payment file ended.
enum class PaymentFileEnd {
    Written,       // the whole file is at the chosen path
    CannotCreate,  // the file could not be created; nothing was written
    CannotFetch,   // the batch returned no payment at an index; no file
    WriteFailed,   // a write or putting the file in place failed; no file
};
// Every end but Written leaves the chosen path as it was, and gives each
// payment that passed its checks the status "batch rejected".

struct PaymentFileResult {
    PaymentFileEnd end = PaymentFileEnd::Written;
    bool checksFailed = false;  // the header or a payment failed a check

    // The payment service's status value: 0, 1 or 2.
    long StatusValue() const;
    // Whether the run reports failed checks (S_FALSE): only when the new
    // file that holds them is in place.
    bool ReportsFailedChecks() const;
};

// Writes the payment file at `path` for the first `count` payments of the
// batch. In the two bulk formats a header is written from the first payment
// when the batch has one; a header that fails its checks is followed by no
// records. A payment that fails its checks does not stop the loop, so that
// every payment gets its status.
// `passedBefore` are the payments an earlier writer (the template file's)
// left with "processed successfully": those the record loop does not reach
// are told the batch was rejected too when the file is not put in place.
// `journal`, when given, gets the journal's line of each payment whose
// record is in the file put in place, in batch order, from the values the
// record was written from (amount, payee fields, the record's reference;
// in a bulk list record without one, the header's beneficiary reference);
// it is left empty when no file is put in place or a header that failed
// its checks kept every record out.
PaymentFileResult WritePaymentFile(IPaymentBatchView& batch, long count, const std::string& path,
                                   const PaymentFileChoices& choices, const std::vector<long>& passedBefore = {},
                                   std::vector<JournalPayment>* journal = nullptr);

// How writing the bulk list template file ended. The payment run goes on
// whatever the outcome and tells the user nothing; the tool reports it.
enum class TemplateFileEnd {
    Written,
    EmptyBatch,    // no payment to make the header from: no file
    Declined,      // the file exists and the user chose not to overwrite it
    CannotCreate,  // the file could not be created
    CannotFetch,   // the batch returned no payment at an index; no file
    WriteFailed,   // a write or putting the file in place failed; no file
};
// Every end but Written leaves the template file's path as it was.

constexpr const char* kTemplateExistsCaption = "Bulk List Template Exists";

// Asked only when the template file at `path` exists: whether to replace it.
using OverwriteTemplateFile = std::function<bool(const std::string& path)>;

// The question the component puts to the user about replacing the template
// file at `path`, in a message box owned by `owner`: Yes replaces it.
MessageRequest TemplateOverwriteQuestion(WindowHandle owner, const std::string& path);

// The path of the template file: `directory` (as DirectoryOfPath gives it)
// followed by the template name, no extension added.
std::string TemplateFilePath(const std::string& directory, const char* templateName);

// Writes the bulk list template file into `directory`: the bulk list header
// from the first payment, then one bulk list record per payment, without
// date, amount and currency. An existing file is overwritten only when
// `overwrite` says so (the component asks the user; the tool answers from
// its option). The
// payments whose records passed go to `passed` when the file was written; a
// failure raised half-way tells those that had passed that the batch was
// rejected before it goes on to the caller.
TemplateFileEnd WriteBulkListTemplateFile(IPaymentBatchView& batch, const std::string& directory,
                                          const char* templateName, const char* beneficiaryReference,
                                          const OverwriteTemplateFile& overwrite, std::vector<long>* passed = nullptr);

// The same at a path of the caller's making (the tool names the file after
// the template name as typed).
TemplateFileEnd WriteBulkListTemplateFileAt(IPaymentBatchView& batch, const std::string& path, const char* templateName,
                                            const char* beneficiaryReference, const OverwriteTemplateFile& overwrite,
                                            std::vector<long>* passed = nullptr);

// Why the template file is not there after it ended so, in words for the
// clerk ("it cannot be created in that folder"); empty for the ends that
// are no fault (written, an empty batch, an existing file kept).
std::string TemplateFileProblem(TemplateFileEnd end);

// Whether the template file named `templateName` beside the payment file at
// `paymentPath` would be the payment file itself, as Windows names files
// (PAY.TXT beside pay.txt): the payment file written after it would replace it.
bool TemplateFileIsPaymentFile(const std::string& paymentPath, const char* templateName);

}  // namespace paylode
