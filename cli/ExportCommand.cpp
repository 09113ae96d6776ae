/*
 * `paylode export`: writes the payment file for a batch of payments from a
 * CSV file, byte for byte as the component's payment run writes it for the
 * same payments and choices, and reports every payment's status.
 *
 * The choices that the payment options dialog would take (format, processing
 * date, template name, beneficiary reference, euro payments) come from the
 * command line and are held to the dialog's rules, the banking calendar's
 * checks of the processing date among them. In "Bulk List Payments"
 * the bulk list template file is written beside the payment file first, as
 * the run does. With --no-field-check the template name and the reference go
 * to the writers as given, as a host could hand them over without the dialog.
 * Both files are written by the same steps as in the run
 * (payments/PaymentFile.h). Exit status: 0 when every payment passed the
 * bank's checks, 1 when any failed, 2 for a usage or input error (then no
 * file is written) or a payment file that cannot be written whole (then it
 * is deleted).
 */
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/AccountChecks.h"
#include "cli/BatchCsv.h"
#include "cli/Commands.h"
#include "cli/ProcessingDate.h"
#include "common/FileSystem.h"
#include "payments/PaymentFile.h"
#include "payments/PaymentOptionFields.h"
#include "payments/PaymentRecords.h"
#include "payments/PaymentText.h"
#include "payments/StatusTexts.h"

namespace paylode::cli {
namespace {

struct ExportOptions {
    std::string batch;
    std::string format;
    std::string date;
    std::string today;
    bool noDateCheck = false;
    bool noFieldCheck = false;
    std::string templateName;
    std::string reference;
    bool euro = false;
    std::string out;
    std::string statuses;
    bool overwriteTemplate = false;
    bool checkAccounts = false;
    std::string tables = ModulusTablesFolder();
};

int InputError(const std::string& message) {
    std::cerr << "paylode export: " << message << "\n";
    return kUsageError;
}

// --template or --reference held to the payment options dialog's field
// rules: what the field would hold (no more than it takes), accepted by the
// dialog's check; returned as the dialog returns it, upper-cased. Text that
// is not UTF-8 or longer than the field counts as invalid characters.
FieldCheck ReadDialogField(const Utf8Text& utf8, int limit, FieldCheck (*check)(const char*, CString*),
                           std::string* value) {
    std::string ansi;
    if (!AnsiFromUtf8(utf8, &ansi) || ansi.size() > static_cast<std::size_t>(limit)) {
        return FieldCheck::InvalidCharacters;
    }
    CString filtered;
    const FieldCheck outcome = check(ansi.c_str(), &filtered);
    if (outcome == FieldCheck::Accepted) *value = filtered.GetString();
    return outcome;
}

// Why the dialog's rules refuse a --template.
std::string TemplateRefusal(FieldCheck check) {
    switch (check) {
    case FieldCheck::Empty: return "--template must name the template: it is empty or only blanks";
    case FieldCheck::NotAFileName:
        return "--template must not name a device (CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9, with or "
               "without an extension) nor be only dots and blanks";
    default: return "--template must name the template in at most 20 letters, digits, spaces, \".\", \"-\" or \"&\"";
    }
}

// The statuses file: one CSV record per payment, index (from 0), status code
// and status text; a text holding a comma, quote or line break is quoted.
// A file that cannot be written whole, closing included, is removed.
bool WriteStatuses(const std::string& path, const std::vector<CPaymentValues>& payments) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    for (std::size_t index = 0; index < payments.size(); ++index) {
        WriteStatusLine(file, index, payments[index].status, PaymentStatusText(payments[index].status));
    }
    const bool written = std::ferror(file) == 0;
    if (std::fclose(file) == 0 && written) return true;
    std::remove(path.c_str());
    return false;
}

// What became of the bulk list template file, when it was not written.
void ReportTemplateFile(TemplateFileEnd end, const std::string& path) {
    switch (end) {
    case TemplateFileEnd::Declined:
        std::cerr << "paylode export: bulk list template file " << path
                  << " exists and is left unchanged (--overwrite-template replaces it)\n";
        break;
    case TemplateFileEnd::CannotCreate:
        std::cerr << "paylode export: cannot create the bulk list template file " << path << "\n";
        break;
    case TemplateFileEnd::WriteFailed:
        std::cerr << "paylode export: cannot write the bulk list template file " << path << " (it is left as it was)\n";
        break;
    default: break;
    }
}

// What the payment options dialog would return for the run: the format,
// the processing date, and the template name, its file's name and the
// beneficiary reference in the component's 8-bit text.
struct ExportChoices {
    PaymentFormat format = PaymentFormat::Standard;
    double date = 0;
    std::string templateName;
    std::string templateFileName;
    std::string reference;
};

// The format and the processing date, checked as the dialog checks them;
// the exit status of a refusal, or nothing.
std::optional<int> ReadFormatAndDate(const ExportOptions& options, ExportChoices* choices) {
    // One digit: the format's number.
    if (options.format.size() != 1 || !PaymentFormatFromNumber(options.format[0] - '0', &choices->format)) {
        return InputError("--format must be 0, 1, 2 or 3");
    }
    const std::optional<double> processingDate = ParseIsoDate(options.date);
    if (!processingDate) return InputError("--date must be a calendar date written YYYY-MM-DD");
    choices->date = *processingDate;
    std::optional<double> today;
    if (!options.today.empty()) {
        today = ParseIsoDate(options.today);
        if (!today) return InputError("--today must be a calendar date written YYYY-MM-DD");
    }
    // The processing date must pass the payment options dialog's checks
    // (a banking day, not in the past, not too far ahead) before anything is
    // written.
    if (!options.noDateCheck) {
        const ProcessingDateVerdict verdict = CheckProcessingDate(choices->date, today);
        if (!verdict.ok) return InputError("--date refused: " + verdict.text);
    }
    return std::nullopt;
}

// The template name and the beneficiary reference. The dialog returns them
// only for the formats that take them. Without the field checks both go to
// the writers as given (in the component's 8-bit text).
std::optional<int> ReadTextFields(const ExportOptions& options, ExportChoices* choices) {
    const PaymentFormat format = choices->format;
    const bool takesTemplate = TakesTemplateName(format);
    const bool takesReference = TakesBeneficiaryReference(format);
    if (options.noFieldCheck) {
        if (takesTemplate && !AnsiFromUtf8(Utf8Text(options.templateName), &choices->templateName)) {
            return InputError("--template is not UTF-8");
        }
        if (takesReference && !AnsiFromUtf8(Utf8Text(options.reference), &choices->reference)) {
            return InputError("--reference is not UTF-8");
        }
        // The template file is named after the name as given.
        choices->templateFileName = options.templateName;
        return std::nullopt;
    }
    if (takesTemplate) {
        const FieldCheck check = ReadDialogField(Utf8Text(options.templateName), kTemplateNameLimit, CheckTemplateName,
                                                 &choices->templateName);
        if (check != FieldCheck::Accepted) return InputError(TemplateRefusal(check));
    }
    choices->templateFileName = choices->templateName;
    if (ChecksBeneficiaryReference(format)) {
        if (ReadDialogField(Utf8Text(options.reference), kBeneficiaryReferenceLimit, CheckBeneficiaryReference,
                            &choices->reference) != FieldCheck::Accepted) {
            return InputError(
                "--reference must be at most 18 letters, digits, spaces, \".\", \"-\", \"&\" "
                "or \"/\"");
        }
    } else if (takesReference) {
        if (!AnsiFromUtf8(Utf8Text(options.reference), &choices->reference)) {
            return InputError("--reference is not UTF-8");
        }
        choices->reference = choices->reference.substr(0, kBeneficiaryReferenceLimit);
    }
    return std::nullopt;
}

// Everything the dialog and the save dialog would settle, the template
// file's name checked against the payment file's; the exit status of a
// refusal, or nothing.
std::optional<int> ReadExportChoices(const ExportOptions& options, ExportChoices* choices) {
    if (options.batch.empty()) return InputError("the batch CSV file is required");
    if (options.out.empty()) return InputError("--out is required");
    if (const std::optional<int> refused = ReadFormatAndDate(options, choices)) return refused;
    if (const std::optional<int> refused = ReadTextFields(options, choices)) return refused;
    // Either way the template file must be a file of its own beside the
    // payment file: never a folder, a path elsewhere or a device.
    const bool templateFile = HasTemplateFile(choices->format);
    if (templateFile && !IsPlainTemplateFileName(choices->templateFileName.c_str())) {
        return InputError(
            "--template must name the bulk list template file: not empty or only blanks, no \"/\" or \"\\\", "
            "not only dots and blanks, not a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9)");
    }
    // The payment file written after the template file would replace it.
    if (templateFile && TemplateFileIsPaymentFile(options.out, choices->templateFileName.c_str())) {
        return InputError("--out names the bulk list template file itself (" +
                          TemplateFilePath(DirectoryOfPath(options.out), choices->templateFileName.c_str()) +
                          "): choose another name for one of them");
    }
    return std::nullopt;
}

// The batch of payments, with the payee accounts' modulus checks as
// warnings when asked for; the exit status of a refusal, or nothing.
std::optional<int> ReadExportBatch(const ExportOptions& options, CPaymentBatchValues* batch) {
    const std::optional<std::string> bytes = ReadWholeFile(options.batch, nullptr, kAnyFileBytes);
    if (!bytes) return InputError("cannot read " + options.batch);
    std::string error;
    if (!ReadPaymentBatch(*bytes, &batch->payments, &error)) return InputError(options.batch + ": " + error);
    // The file, the statuses and the exit status stay the run's.
    if (options.checkAccounts) {
        const std::optional<CModulusTables> tables = LoadModulusTables(options.tables, "export");
        if (!tables) return kUsageError;
        for (std::size_t i = 0; i < batch->payments.size(); ++i) {
            const CPaymentValues& payment = batch->payments[i];
            const std::string warning =
                AccountWarning(*tables, i, payment.payeeSortCode.GetString(), payment.payeeAccountNumber.GetString());
            if (!warning.empty()) std::cerr << warning << "\n";
        }
    }
    if (batch->GetCount() > kMaxPaymentsInFile) {
        return InputError(
            "Too many payment instructions have been submitted. Kelmar Bank Paylode supports a "
            "maximum of 4000 payments in a single file.");
    }
    return std::nullopt;
}

// The template file (in "Bulk List Payments") and the payment file, as the
// component's payment run writes them, and the statuses; the exit status.
int WriteExport(const ExportOptions& options, const ExportChoices& choices, CPaymentBatchValues& batch) {
    // The template file comes first, beside the payment file. Whether an
    // existing one is replaced is --overwrite-template's answer.
    if (HasTemplateFile(choices.format)) {
        const auto overwrite = [&](const std::string&) { return options.overwriteTemplate; };
        const std::string path = TemplateFilePath(DirectoryOfPath(options.out), choices.templateFileName.c_str());
        ReportTemplateFile(WriteBulkListTemplateFileAt(batch, path, choices.templateName.c_str(),
                                                       choices.reference.c_str(), overwrite),
                           path);
    }

    PaymentFileChoices file;
    file.processingDate = choices.date;
    file.paymentFormat = choices.format;
    file.templateName = choices.templateName.c_str();
    file.beneficiaryReference = choices.reference.c_str();
    file.ireland = options.euro;
    const PaymentFileResult written = WritePaymentFile(batch, batch.GetCount(), options.out, file);
    // Every payment has its status whether or not the file could be kept:
    // the valid ones are told the batch was rejected when it could not.
    if (!options.statuses.empty() && !WriteStatuses(options.statuses, batch.payments)) {
        return InputError("cannot write " + options.statuses);
    }
    switch (written.end) {
    case PaymentFileEnd::Written: break;
    case PaymentFileEnd::CannotCreate: return InputError("cannot create the payment file " + options.out);
    case PaymentFileEnd::WriteFailed:
        return InputError("cannot write the payment file " + options.out + " (it is left as it was)");
    case PaymentFileEnd::CannotFetch: return InputError("cannot read a payment of the batch");
    }
    return written.checksFailed ? 1 : 0;
}

// The run: the choices read, the batch read, the files written, in the
// order the component's payment run takes them.
int RunExport(const ExportOptions& options) {
    ExportChoices choices;
    if (const std::optional<int> refused = ReadExportChoices(options, &choices)) return *refused;
    CPaymentBatchValues batch;
    if (const std::optional<int> refused = ReadExportBatch(options, &batch)) return *refused;
    return WriteExport(options, choices, batch);
}

}  // namespace

void AddExportCommand(CLI::App& app, Outcome& outcome) {
    const auto [command, options] = AddCommand(
        app, outcome, "export",
        "Write the payment file for a batch of payments (CSV, UTF-8, with a header row naming the columns\n"
        "amount, payer_sort_code, payer_account_number, payee_bacs_reference, payee_sort_code,\n"
        "payee_account_number, payee_account_name, payee_roll_number, details, status; a nonzero\n"
        "status marks an inter-account transfer). Exit status 0 when every payment passed the bank's\n"
        "checks, 1 when any failed, 2 for a usage or input error.", RunExport);
    command->add_option("batch", options->batch, "the batch of payments, CSV");
    command->add_option("--format", options->format, kPaymentFormatHelp);
    command->add_option("--date", options->date, "processing date, YYYY-MM-DD");
    command->add_option("--today", options->today,
                        "today's date for the processing-date checks, YYYY-MM-DD (default: the local date)");
    command->add_flag("--no-date-check", options->noDateCheck,
                      "write the file for any calendar date, without the processing-date checks");
    command->add_flag("--no-field-check", options->noFieldCheck,
                      "pass --template and --reference to the file as given, without the dialog's field rules");
    command->add_option("--template", options->templateName, "template or bulk list name (formats 1 and 2)");
    command->add_option("--reference", options->reference, "beneficiary reference (formats 2 and 3)");
    command->add_flag("--euro", options->euro, "euro payments for the Republic of Ireland (EUR, not GBP)");
    command->add_option("--out", options->out, "the payment file to write");
    command->add_option("--statuses", options->statuses, "also write each payment's index, status code and text (CSV)");
    command->add_flag("--check-accounts", options->checkAccounts,
                      "warn on standard error of every payee account that fails the UK modulus checks");
    command->add_option("--tables", options->tables, "the folder of the modulus tables (with --check-accounts)");
    command->add_flag("--overwrite-template", options->overwriteTemplate,
                      "replace an existing bulk list template file (format 2)");
}

}  // namespace paylode::cli
