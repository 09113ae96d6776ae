/*
 * The payment file and the bulk list template file of a payment run (see
 * PaymentFile.h).
 */
#include "payments/PaymentFile.h"

#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "common/FileSystem.h"
#include "payments/PaymentRecords.h"
#include "payments/PaymentText.h"
#include "payments/RecordOutput.h"
#include "payments/StatusTexts.h"

namespace paylode {

long PaymentFileResult::StatusValue() const {
    if (end != PaymentFileEnd::Written) return kRunFileFailed;
    return checksFailed ? kRunChecksFailed : kRunCompleted;
}

bool PaymentFileResult::ReportsFailedChecks() const { return checksFailed && end == PaymentFileEnd::Written; }

namespace {

// Which payments a writer has left with "processed successfully", and how
// far its record loop came: what a run that ends without its file must undo.
struct WriterProgress {
    std::vector<long> passed;       // records that passed their checks
    std::vector<long> provisional;  // passed before the record loop reached them (a header, the template file)
    long reached = 0;               // the record loop's next index

    void Pass(long index) { passed.push_back(index); }
    // The payments whose "processed successfully" no file in place stands
    // behind: every record that passed, and what passed before the loop
    // and was not reached by it.
    std::vector<long> Unpaid() const {
        std::vector<long> unpaid = passed;
        for (long index : provisional) {
            if (index >= reached) unpaid.push_back(index);
        }
        return unpaid;
    }
};

// A payment as its record writer sees it, keeping the values the writer
// read, so that the journal records what the record was written from
// without asking the host for them again; a value the writer did not read
// is asked for once. Its first status read is the IAT mark, before the
// writer sets the status.
class CRecordedPayment : public IPaymentView {
public:
    explicit CRecordedPayment(IPaymentView& payment) : payment_(payment) {}

    double GetAmount() override {
        if (!amount_) amount_ = payment_.GetAmount();
        return *amount_;
    }
    CString GetPayerSortCode() override { return Kept(payerSortCode_, &IPaymentView::GetPayerSortCode); }
    CString GetPayerAccountNumber() override { return Kept(payerAccountNumber_, &IPaymentView::GetPayerAccountNumber); }
    CString GetPayeeBACSReference() override { return Kept(payeeBACSReference_, &IPaymentView::GetPayeeBACSReference); }
    CString GetPayeeSortCode() override { return Kept(payeeSortCode_, &IPaymentView::GetPayeeSortCode); }
    CString GetPayeeAccountNumber() override { return Kept(payeeAccountNumber_, &IPaymentView::GetPayeeAccountNumber); }
    CString GetPayeeAccountName() override { return Kept(payeeAccountName_, &IPaymentView::GetPayeeAccountName); }
    CString GetPayeeRollNumber() override { return Kept(payeeRollNumber_, &IPaymentView::GetPayeeRollNumber); }
    CString GetDetails() override { return payment_.GetDetails(); }
    long GetStatus() override {
        const long status = payment_.GetStatus();
        if (!firstStatus_) firstStatus_ = status;
        return status;
    }
    void SetStatus(long status) override { payment_.SetStatus(status); }

    bool WasIat() const { return firstStatus_.value_or(0) != 0; }

private:
    CString Kept(std::optional<CString>& kept, CString (IPaymentView::*get)()) {
        if (!kept) kept = (payment_.*get)();
        return *kept;
    }

    IPaymentView& payment_;
    std::optional<double> amount_;
    std::optional<CString> payerSortCode_, payerAccountNumber_, payeeBACSReference_, payeeSortCode_,
        payeeAccountNumber_, payeeAccountName_, payeeRollNumber_;
    std::optional<long> firstStatus_;
};

// The journal's line of a payment whose record was written from `payment`.
JournalPayment JournalPaymentOf(CRecordedPayment& payment, long index, const PaymentFileChoices& choices) {
    const PaymentFormat format = choices.paymentFormat;
    JournalPayment entry;
    entry.row = index + 1;
    entry.payeeAccountName = payment.GetPayeeAccountName().GetString();
    entry.payeeSortCode = payment.GetPayeeSortCode().GetString();
    entry.payeeAccountNumber = payment.GetPayeeAccountNumber().GetString();
    entry.amount = payment.GetAmount();
    entry.payeeBACSReference = payment.GetPayeeBACSReference().GetString();
    entry.reference = RecordReference(payment, format, AllowsIatMarks(format) && payment.WasIat());
    // A bulk list record without a roll number pays under the header's
    // beneficiary reference.
    if (format == PaymentFormat::BulkList && entry.reference.empty()) {
        entry.reference = std::string(Sanitise(choices.beneficiaryReference.GetString()).GetString()).substr(0, 18);
    }
    return entry;
}

// The header and the records of the payment file into `out`; what passed
// goes to `progress`, and each payment whose record was written to
// `journal`, when there is one.
PaymentFileResult WritePaymentRecords(IRecordOutput& out, IPaymentBatchView& batch, long count, const std::string& path,
                                      const PaymentFileChoices& choices, WriterProgress& progress,
                                      std::vector<JournalPayment>* journal) {
    PaymentFileResult result;
    const PaymentFormat format = choices.paymentFormat;
    const RecordCurrency currency = CurrencyFor(choices.ireland);
    const char* templateName = choices.templateName.GetString();
    const char* reference = choices.beneficiaryReference.GetString();

    // The bulk formats open with a header made from the first payment; an
    // empty batch has none to make it from and gets no header. Without the
    // first payment there is no header, and no file, but every payment the
    // batch returns is still checked.
    bool headerPassed = true;
    if (HasHeaderRecord(format) && count > 0) {
        const std::unique_ptr<IPaymentView> first = batch.GetItem(0);
        if (!first) {
            result.end = PaymentFileEnd::CannotFetch;
        } else if (format == PaymentFormat::BulkList) {
            headerPassed = WriteBulkListHeader(out, *first, choices.processingDate, templateName, reference,
                                               RecordFile::PaymentFile);
        } else {
            headerPassed = WriteAdHocHeader(out, *first, choices.processingDate, reference, path.c_str());
        }
    }
    // A header that passed leaves the first payment at success until its
    // record is checked; one that failed leaves it its fault.
    if (HasHeaderRecord(format) && count > 0 && result.end == PaymentFileEnd::Written) {
        if (headerPassed) {
            progress.provisional.push_back(0);
        } else {
            progress.reached = 1;
        }
    }
    // A header that fails its checks is followed by no payment records.
    result.checksFailed = !headerPassed;
    for (long index = 0; headerPassed && index < count; progress.reached = ++index) {
        // A payment the batch does not return leaves the file incomplete:
        // the file will not be kept, and the payments after it are checked
        // so that each one that passed is told so.
        const std::unique_ptr<IPaymentView> payment = batch.GetItem(index);
        if (!payment) {
            result.end = PaymentFileEnd::CannotFetch;
            continue;
        }
        CRecordedPayment recorded(*payment);
        const bool ok = format == PaymentFormat::AdHocBulk
                            ? WriteAdHocRecord(out, recorded, currency)
                            : WritePaymentRecord(out, recorded, choices.processingDate, format, templateName, currency,
                                                 RecordFile::PaymentFile);
        if (journal != nullptr) journal->push_back(JournalPaymentOf(recorded, index, choices));
        if (ok) {
            progress.Pass(index);
        } else {
            result.checksFailed = true;
        }
    }
    return result;
}

// A payment file that could not be made or kept pays nobody: a payment that
// passed its checks is told so, instead of keeping "processed successfully".
// A payment that the host cannot give or that does not take its status is
// passed over, so that the others still get theirs; the first such failure
// then goes on to the caller, unless the run already failed with an error
// on its way there (`quietly`), which stays the one the caller sees.
void RejectPassedPayments(IPaymentBatchView& batch, const std::vector<long>& passed, bool quietly = false) {
    std::exception_ptr first;
    for (long index : passed) {
        try {
            if (const std::unique_ptr<IPaymentView> payment = batch.GetItem(index))
                payment->SetStatus(kStatusBatchRejected);
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first && !quietly) std::rethrow_exception(first);
}

}  // namespace

PaymentFileResult WritePaymentFile(IPaymentBatchView& batch, long count, const std::string& path,
                                   const PaymentFileChoices& choices, const std::vector<long>& passedBefore,
                                   std::vector<JournalPayment>* journal) {
    if (journal != nullptr) journal->clear();
    WriterProgress progress;
    progress.provisional = passedBefore;
    std::unique_ptr<IOutputFile> file = CurrentFileSystem().CreateReplacement(path);
    // Without a file every payment is still checked, so that each is told
    // what is wrong with it.
    CDiscardRecordOutput nowhere;
    std::optional<CFileRecordOutput> toFile;
    if (file) toFile.emplace(*file);
    IRecordOutput& out = toFile ? static_cast<IRecordOutput&>(*toFile) : nowhere;
    PaymentFileResult result;
    try {
        result = WritePaymentRecords(out, batch, count, path, choices, progress, journal);
    } catch (...) {
        // A run that fails half-way (a host call that fails, say) deletes
        // its new file; the chosen path keeps what it held.
        file.reset();
        RejectPassedPayments(batch, progress.Unpaid(), /*quietly=*/true);
        throw;
    }
    if (!file) {
        result.end = PaymentFileEnd::CannotCreate;
    } else if (result.end == PaymentFileEnd::Written && !toFile->Commit()) {
        result.end = PaymentFileEnd::WriteFailed;
    }
    if (result.end != PaymentFileEnd::Written) {
        if (journal != nullptr) journal->clear();
        file.reset();
        RejectPassedPayments(batch, progress.Unpaid());
    }
    return result;
}

std::string TemplateFilePath(const std::string& directory, const char* templateName) {
    return directory + (templateName != nullptr ? templateName : "");
}

MessageRequest TemplateOverwriteQuestion(WindowHandle owner, const std::string& path) {
    MessageRequest question;
    question.owner = owner;
    question.caption = kTemplateExistsCaption;
    question.text = "Do you wish to overwrite template file: \r\n" + path;
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    return question;
}

TemplateFileEnd WriteBulkListTemplateFile(IPaymentBatchView& batch, const std::string& directory,
                                          const char* templateName, const char* beneficiaryReference,
                                          const OverwriteTemplateFile& overwrite, std::vector<long>* passed) {
    return WriteBulkListTemplateFileAt(batch, TemplateFilePath(directory, templateName), templateName,
                                       beneficiaryReference, overwrite, passed);
}

namespace {

// The template file's header and records into `out`; the payments that
// passed go to `passed`.
TemplateFileEnd WriteTemplateRecords(IRecordOutput& out, IPaymentBatchView& batch, long count, const char* templateName,
                                     const char* beneficiaryReference, std::vector<long>& passed) {
    // The first payment is released before the records fetch it again.
    if (const std::unique_ptr<IPaymentView> first = batch.GetItem(0)) {
        if (WriteBulkListHeader(out, *first, kNoProcessingDate, templateName, beneficiaryReference,
                                RecordFile::TemplateFile)) {
            passed.push_back(0);
        }
    } else {
        return TemplateFileEnd::CannotFetch;
    }
    for (long index = 0; index < count; ++index) {
        const std::unique_ptr<IPaymentView> payment = batch.GetItem(index);
        if (!payment) return TemplateFileEnd::CannotFetch;
        if (WritePaymentRecord(out, *payment, kNoProcessingDate, PaymentFormat::BulkList, templateName,
                               RecordCurrency::Sterling, RecordFile::TemplateFile)) {
            passed.push_back(index);
        }
    }
    return TemplateFileEnd::Written;
}

}  // namespace

TemplateFileEnd WriteBulkListTemplateFileAt(IPaymentBatchView& batch, const std::string& path, const char* templateName,
                                            const char* beneficiaryReference, const OverwriteTemplateFile& overwrite,
                                            std::vector<long>* passed) {
    // The header comes from the first payment: without one there is no file.
    const long count = batch.GetCount();
    if (count <= 0) return TemplateFileEnd::EmptyBatch;

    IFileSystem& files = CurrentFileSystem();
    if (files.CanOpenForReading(path) && !overwrite(path)) return TemplateFileEnd::Declined;
    const std::unique_ptr<IOutputFile> file = files.CreateReplacement(path);
    if (!file) return TemplateFileEnd::CannotCreate;
    CFileRecordOutput out(*file);

    // Whatever ends the file early (a payment the batch does not return, a
    // failure on its way to the caller) drops the new file with `file`. A
    // failure on its way to the caller leaves no payment with "processed
    // successfully" from a file that was never put in place.
    std::vector<long> checked;
    TemplateFileEnd end;
    try {
        end = WriteTemplateRecords(out, batch, count, templateName, beneficiaryReference, checked);
    } catch (...) {
        RejectPassedPayments(batch, checked, /*quietly=*/true);
        throw;
    }
    if (passed != nullptr) *passed = std::move(checked);
    // A template missing a payment would set up a bulk list that silently
    // leaves a payee out: it goes like a file that could not be written.
    if (end == TemplateFileEnd::CannotFetch) return end;
    return out.Commit() ? end : TemplateFileEnd::WriteFailed;
}

std::string TemplateFileProblem(TemplateFileEnd end) {
    switch (end) {
    case TemplateFileEnd::CannotCreate: return "it cannot be created in that folder";
    case TemplateFileEnd::CannotFetch: return "a payment of the batch could not be read";
    case TemplateFileEnd::WriteFailed: return "it could not be written whole (is the disk full?)";
    default: return std::string();
    }
}

bool TemplateFileIsPaymentFile(const std::string& paymentPath, const char* templateName) {
    const std::string directory = DirectoryOfPath(paymentPath);
    return SameFileName(paymentPath.substr(directory.size()), templateName != nullptr ? templateName : "");
}

}  // namespace paylode
