/*
 * The payment file's record writers (see PaymentRecords.h): field rules,
 * column layouts per record type, and the checks in the order the bank's
 * status codes are given.
 */
#include "payments/PaymentRecords.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "common/NumberText.h"
#include "common/OleDate.h"
#include "payments/PaymentText.h"
#include "payments/StatusTexts.h"

namespace paylode {

std::string AmountField(double amount) { return NumberText(amount, std::chars_format::fixed, 2); }

namespace {

// Values from the host are taken into a 256-byte buffer: at most 255
// characters reach the field rules.
constexpr std::size_t kMaxValue = 255;

std::string TextOf(const CString& value) { return std::string(value.GetString()).substr(0, kMaxValue); }

std::string Cut(const std::string& text, std::size_t width) { return text.substr(0, width); }

// Cut to `width` and filled up on the left with the digit 0.
std::string ZeroFilled(const std::string& text, std::size_t width) {
    std::string cut = Cut(text, width);
    return std::string(width - cut.size(), '0') + cut;
}

// Cut to `width` and filled up on the right with spaces.
std::string SpaceFilledRight(const std::string& text, std::size_t width) {
    std::string cut = Cut(text, width);
    return cut + std::string(width - cut.size(), ' ');
}

// Account numbers are written as given, apart from the characters that would
// split or merge the record's columns at the bank (comma, double quote, CR,
// LF and the other control characters): each becomes "?". Such a number
// always fails its check, so the payment keeps its error status while the
// line keeps its 85 columns.
std::string AccountNumberField(const std::string& text, std::size_t width) {
    std::string safe = text;
    for (char& c : safe) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == ',' || c == '"' || byte < 0x20 || byte == 0x7F) c = '?';
    }
    return ZeroFilled(safe, width);
}

std::string Sanitised(const std::string& text, std::size_t width) {
    return Cut(Sanitise(text.c_str()).GetString(), width);
}

std::string Digits(const std::string& text) { return DigitsOf(text.c_str()).GetString(); }

bool IsSortCode(const std::string& text) { return Digits(text).size() == 6; }

bool IsAccountNumber(const std::string& text) {
    if (text.size() != 8) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Whether an amount pays anything, judged by what its column carries: the
// bank reads the written text, so an amount too small to make a penny is
// written as 0.00 and fails like a zero amount, and so does one that is not
// a finite positive number.
bool IsPayableAmount(double amount, const std::string& written) {
    return std::isfinite(amount) && amount > 0 && written != "0.00";
}

std::string DateField(double processingDate) {
    DateFields fields;
    FieldsFromOleDate(processingDate, &fields);
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%04d", fields.day, fields.month, fields.year);
    return text;
}

const char* CurrencyCode(RecordCurrency currency) { return currency == RecordCurrency::Euro ? "EUR" : "GBP"; }

// The payee's reference: the building society roll number when there is one,
// else the payee's BACS reference.
std::string ReferenceOf(IPaymentView& payment) {
    std::string roll = TextOf(payment.GetPayeeRollNumber());
    return roll.empty() ? TextOf(payment.GetPayeeBACSReference()) : roll;
}

// One record being written: its columns and the outcome of its checks. The
// payment's status is set to 0 when the record starts.
class CRecord {
public:
    CRecord(IPaymentView& payment, const char* type) : payment_(payment) {
        payment_.SetStatus(kStatusSuccess);
        Set(4, type);
    }

    void Set(int column, std::string value) { columns_[column] = std::move(value); }

    // Leaves the failing check's code on the payment at once, so that the
    // last failing check is the one the payment keeps.
    void Fail(long code) {
        payment_.SetStatus(code);
        ok_ = false;
    }

    // Payer sort code (23) and account number (24) into column 13.
    void PayerAccount() {
        const std::string sortCode = Digits(TextOf(payment_.GetPayerSortCode()));
        if (sortCode.size() != 6) Fail(kStatusInvalidPayerSortCode);
        const std::string account = TextOf(payment_.GetPayerAccountNumber());
        if (!IsAccountNumber(account)) Fail(kStatusInvalidPayerAccountNumber);
        Set(13, ZeroFilled(sortCode, 6) + AccountNumberField(account, 8));
    }

    // Amount (21) into column 17, unless it is not to be written.
    void Amount(bool write) {
        const double amount = payment_.GetAmount();
        const std::string written = AmountField(amount);
        if (!IsPayableAmount(amount, written)) Fail(kStatusInvalidAmount);
        if (write) Set(17, written);
    }

    // Payee sort code (28) and account number (29) into columns 25 and 31,
    // unless they are not to be written.
    void PayeeAccount(bool write) {
        const std::string sortCode = TextOf(payment_.GetPayeeSortCode());
        if (!IsSortCode(sortCode)) Fail(kStatusInvalidPayeeSortCode);
        const std::string account = TextOf(payment_.GetPayeeAccountNumber());
        if (!IsAccountNumber(account)) Fail(kStatusInvalidPayeeAccountNumber);
        if (write) {
            Set(25, SpaceFilledRight(Digits(sortCode), 6));
            Set(31, AccountNumberField(account, 8));
        }
    }

    // Payee account name (30) into column 33. A name is missing when nothing
    // of it survives the character rules: the bank would get an empty column.
    void PayeeName() {
        const std::string name = Sanitised(TextOf(payment_.GetPayeeAccountName()), 35);
        if (name.empty()) Fail(kStatusInvalidPayeeAccountName);
        Set(33, name);
    }

    bool Write(IRecordOutput& file) const {
        std::string line;
        for (int column = 1; column <= kRecordColumns; ++column) {
            if (column > 1) line += ',';
            line += columns_[column];
        }
        line += "\r\n";
        file.Write(line.data(), line.size());
        return ok_;
    }

private:
    IPaymentView& payment_;
    std::string columns_[kRecordColumns + 1];
    bool ok_ = true;
};

}  // namespace

std::string RecordReference(IPaymentView& payment, PaymentFormat format, bool iat) {
    if (format == PaymentFormat::BulkList) return Sanitised(TextOf(payment.GetPayeeRollNumber()), 18);
    if (iat) return Sanitised(ReferenceOf(payment), 16);
    std::string reference = ReferenceOf(payment);
    // Without a roll number or a BACS reference an ad hoc bulk record tells
    // the payee who paid by the payer's own sort code and account number.
    if (format == PaymentFormat::AdHocBulk && reference.empty()) {
        reference = Cut(Digits(TextOf(payment.GetPayerSortCode())), 6) +
                    Cut(Digits(TextOf(payment.GetPayerAccountNumber())), 8);
    }
    return Sanitised(reference, 18);
}

bool WritePaymentRecord(IRecordOutput& file, IPaymentView& payment, double processingDate, PaymentFormat format,
                        const char* templateName, RecordCurrency currency, RecordFile target) {
    const bool bulkList = format == PaymentFormat::BulkList;
    const bool withTemplate = format == PaymentFormat::Template;
    const bool iat = AllowsIatMarks(format) && payment.GetStatus() != 0;
    const bool templateFile = target == RecordFile::TemplateFile;
    const std::string name = templateName != nullptr ? Cut(templateName, kMaxValue) : std::string();

    CRecord record(payment, iat ? "03" : bulkList ? "07" : "01");
    if (withTemplate) record.Set(6, Sanitised(name, 20));
    if (bulkList) record.Set(8, Sanitised(TextOf(payment.GetPayeeBACSReference()), 25));
    if (!bulkList) record.PayerAccount();
    if ((iat || withTemplate || bulkList) && !templateFile) record.Set(16, CurrencyCode(currency));
    record.Amount(!templateFile);
    if (!bulkList) record.Set(19, DateField(processingDate));
    record.PayeeAccount(!withTemplate);
    if (!iat && !withTemplate) record.PayeeName();
    record.Set(iat ? 40 : 37, RecordReference(payment, format, iat));
    return record.Write(file);
}

bool WriteBulkListHeader(IRecordOutput& file, IPaymentView& payment, double processingDate, const char* templateName,
                         const char* beneficiaryReference, RecordFile target) {
    const bool templateFile = target == RecordFile::TemplateFile;
    CRecord record(payment, "06");
    if (templateFile) {
        record.Set(5, "T");
        record.Set(7, "N");
    }
    record.Set(6, Sanitised(templateName != nullptr ? Cut(templateName, kMaxValue) : "", 18));
    record.PayerAccount();
    if (!templateFile) record.Set(19, DateField(processingDate));
    record.Set(37, Sanitised(beneficiaryReference != nullptr ? Cut(beneficiaryReference, kMaxValue) : "", 18));
    return record.Write(file);
}

bool WriteAdHocHeader(IRecordOutput& file, IPaymentView& payment, double processingDate,
                      const char* beneficiaryReference, const char* paymentFilePath) {
    const std::string path = paymentFilePath != nullptr ? paymentFilePath : "";
    const std::size_t separator = path.find_last_of("\\/");
    const std::string fileName = separator == std::string::npos ? path : path.substr(separator + 1);

    CRecord record(payment, "08");
    record.Set(9, Sanitised(Cut(fileName, kMaxValue), 16));
    record.PayerAccount();
    record.Set(19, DateField(processingDate));
    record.Set(37, Sanitised(beneficiaryReference != nullptr ? Cut(beneficiaryReference, kMaxValue) : "", 18));
    return record.Write(file);
}

bool WriteAdHocRecord(IRecordOutput& file, IPaymentView& payment, RecordCurrency currency) {
    CRecord record(payment, "09");
    record.Set(16, CurrencyCode(currency));
    record.Amount(true);
    record.PayeeAccount(true);
    record.PayeeName();
    record.Set(37, RecordReference(payment, PaymentFormat::AdHocBulk, false));
    return record.Write(file);
}

}  // namespace paylode
