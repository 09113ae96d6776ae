// Under Wine: a host payment seen through the record writers' view. Text
// arrives as BSTRs and is converted with the platform's ANSI code page, a
// failing call is raised, and the host sees the writers' status calls in
// order.
#include <gtest/gtest.h>


#include <map>
#include <string>
#include <vector>

#include "common/win/Platform.h"
#include "payments/PaymentRecords.h"
#include "host/HostInterfaces.h"
#include "payments/win/HostPaymentView.h"
#include "support/FakeDispatch.h"

namespace paylode {
namespace {

// A host payment behind the host's own interface, answering from a table of
// texts; a getter whose text is missing fails. It counts its references, so
// that a test sees the view neither keeps nor drops one.
class CFakeHostPayment : public test::CFakeDispatch<ITorvoBankPayment> {
public:
    CFakeHostPayment() : CFakeDispatch(1) {}

    std::map<std::string, std::wstring> texts;
    double amount = 0;
    long status = 0;
    bool failAmount = false;
    bool failSetStatus = false;
    std::vector<long> statusCalls;

    HRESULT STDMETHODCALLTYPE GetAmount(double* value) override {
        if (failAmount) return E_FAIL;
        *value = amount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPayerSortCode(BSTR* value) override { return Text("payerSortCode", value); }
    HRESULT STDMETHODCALLTYPE GetPayerAccountNumber(BSTR* value) override { return Text("payerAccountNumber", value); }
    HRESULT STDMETHODCALLTYPE GetPayeeBACSReference(BSTR* value) override { return Text("payeeBACSReference", value); }
    HRESULT STDMETHODCALLTYPE GetPayeeSortCode(BSTR* value) override { return Text("payeeSortCode", value); }
    HRESULT STDMETHODCALLTYPE GetPayeeAccountNumber(BSTR* value) override { return Text("payeeAccountNumber", value); }
    HRESULT STDMETHODCALLTYPE GetPayeeAccountName(BSTR* value) override { return Text("payeeAccountName", value); }
    HRESULT STDMETHODCALLTYPE GetPayeeRollNumber(BSTR* value) override { return Text("payeeRollNumber", value); }
    HRESULT STDMETHODCALLTYPE GetStatus(long* value) override {
        *value = status;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetStatus(long value) override {
        if (failSetStatus) return E_ACCESSDENIED;
        status = value;
        statusCalls.push_back(value);
        return S_OK;
    }

    // What the writers never ask for.
    HRESULT STDMETHODCALLTYPE SetAmount(double) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPayerBACSReference(BSTR* value) override { return Text("-", value); }
    HRESULT STDMETHODCALLTYPE SetPayerBACSReference(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPayerSortCode(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPayerAccountNumber(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPayerAccountName(BSTR* value) override { return Text("-", value); }
    HRESULT STDMETHODCALLTYPE SetPayerAccountName(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPayerRollNumber(BSTR* value) override { return Text("-", value); }
    HRESULT STDMETHODCALLTYPE SetPayerRollNumber(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPayeeBACSReference(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPayeeSortCode(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPayeeAccountNumber(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPayeeAccountName(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPayeeRollNumber(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetReference(BSTR* value) override { return Text("-", value); }
    HRESULT STDMETHODCALLTYPE SetReference(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDetails(BSTR* value) override { return Text("-", value); }
    HRESULT STDMETHODCALLTYPE SetDetails(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrency(BSTR* value) override { return Text("-", value); }
    HRESULT STDMETHODCALLTYPE SetCurrency(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPaymentDate(DATE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPaymentDate(DATE) override { return E_NOTIMPL; }

private:
    HRESULT Text(const char* name, BSTR* value) {
        const auto found = texts.find(name);
        if (found == texts.end()) return E_FAIL;
        *value = SysAllocStringLen(found->second.data(), static_cast<UINT>(found->second.size()));
        return S_OK;
    }
};

CFakeHostPayment ValidHostPayment() {
    CFakeHostPayment payment;
    payment.amount = 250;
    payment.texts = {
        {"payerSortCode", L"12-34-56"}, {"payerAccountNumber", L"12345678"}, {"payeeBACSReference", L"Inv 9"},
        {"payeeSortCode", L"654321"},   {"payeeAccountNumber", L"87654321"}, {"payeeAccountName", L"Acme"},
        {"payeeRollNumber", L""}};
    return payment;
}

TEST(HostPaymentView, TextIsConvertedToTheAnsiCodePage) {
    ASSERT_EQ(1252u, GetACP());
    struct Row {
        std::wstring name;
        const char* written;  // column 33 of a standard record
        long status;
    };
    // clang-format off
    const Row rows[] = {
        {L"\u0141\u00F3d\u017A Works", "LDZ WORKS", 0},  // best-fit letters kept, accented ones dropped
        {L"\u4E2D\u6587 Ltd", " LTD", 0},                // no ANSI form: "?" then dropped
        {L"\u4E2D\u6587", "", 30},                       // nothing left of the name
        {std::wstring(L"Ab\0cd", 5), "AB", 0},          // an embedded NUL ends the text
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CFakeHostPayment host = ValidHostPayment();
        host.texts["payeeAccountName"] = rows[i].name;
        CBankPaymentView view(&host);
        CStringRecordOutput out;
        WritePaymentRecord(out, view, 45356, PaymentFormat::Standard, "", RecordCurrency::Sterling,
                           RecordFile::PaymentFile);
        std::string line = out.Text();
        std::vector<std::string> columns(1);
        for (char c : line.substr(0, line.size() - 2)) {
            if (c == ',')
                columns.emplace_back();
            else
                columns.back() += c;
        }
        ASSERT_EQ(85u, columns.size());
        EXPECT_EQ(rows[i].written, columns[32]);
        EXPECT_EQ(rows[i].status, host.status);
    }
}

// A value the host fails to give, or a status it fails to take, is raised
// with the host's code: a record written from an empty stand-in would pay
// the wrong thing or report the wrong fault. No line is written.
TEST(HostPaymentView, AFailingCallIsRaisedAndNoLineIsWritten) {
    const struct {
        const char* name;
        void (*fail)(CFakeHostPayment&);
        HRESULT raised;
        std::vector<long> statusCalls;
    } rows[] = {
        {"amount", [](CFakeHostPayment& host) { host.failAmount = true; }, E_FAIL, {0}},
        {"payee sort code", [](CFakeHostPayment& host) { host.texts.erase("payeeSortCode"); }, E_FAIL, {0}},
        {"payee name", [](CFakeHostPayment& host) { host.texts.erase("payeeAccountName"); }, E_FAIL, {0}},
        {"status", [](CFakeHostPayment& host) { host.failSetStatus = true; }, E_ACCESSDENIED, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CFakeHostPayment host = ValidHostPayment();
        row.fail(host);
        CBankPaymentView view(&host);
        CStringRecordOutput out;
        try {
            WritePaymentRecord(out, view, 45356, PaymentFormat::Standard, "", RecordCurrency::Sterling,
                               RecordFile::PaymentFile);
            ADD_FAILURE() << "nothing raised";
        } catch (const CFailure& failure) {
            EXPECT_EQ(CFailure::Kind::HostCall, failure.GetKind());
            EXPECT_EQ(row.raised, failure.Code());
        }
        EXPECT_EQ(row.statusCalls, host.statusCalls);
        EXPECT_EQ("", out.Text());
        EXPECT_EQ(1u, host.references) << "the view borrows the payment";
    }
}

TEST(HostPaymentView, HostTextIsReadUpToItsFirstNulAndNoneIsEmpty) {
    EXPECT_STREQ("", AnsiOf(CBstr()).GetString());
    EXPECT_STREQ("INV", AnsiOf(CBstr::Make(L"INV\0 9", 6)).GetString());
    EXPECT_STREQ("Caf\xE9", AnsiOf(CBstr::Make(L"Caf\u00E9")).GetString());
}

}  // namespace
}  // namespace paylode
