// Under Wine: the reference host's payment and statement objects answer the
// component from their values, keep the payment status's double use, record
// every call in order, play injected faults and serve IDispatch from the
// host type library.
#include <gtest/gtest.h>

#include <wrl/client.h>

#include "referencehost/HostPayments.h"
#include "referencehost/HostStatement.h"
#include "support/HResultAssert.h"
#include "common/win/Owners.h"

namespace paylode::referencehost {
namespace {

using Microsoft::WRL::ComPtr;
using Texts = std::vector<std::string>;

struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

PaymentData Payment(double amount, const wchar_t* payee, long status = 0) {
    PaymentData data;
    data.amount = amount;
    data.payeeAccountName = payee;
    data.payeeSortCode = L"12-34-56";
    data.status = status;
    return data;
}

std::wstring Take(BSTR received) {
    const CBstr text = CBstr::Adopt(received);
    return text.Get() != nullptr ? std::wstring(text.Get(), text.Length()) : L"<null>";
}

class HostObjects : public ::testing::Test {
protected:
    ComApartment apartment_;
    std::shared_ptr<CHostCallLog> log_ = std::make_shared<CHostCallLog>();
};

TEST_F(HostObjects, TheBatchHandsOutItsPaymentsAndRecordsEveryCallInOrder) {
    auto batch = MakeComObject<CHostPayments>(
        log_, std::vector<PaymentData>{Payment(10.5, L"A Supplier"), Payment(20, L"B Supplier", 1)});
    long count = 0;
    ASSERT_HR(S_OK, batch->GetCount(&count));
    EXPECT_EQ(2, count);
    ComPtr<ITorvoBankPayment> second;
    ASSERT_HR(S_OK, batch->GetItem(1, &second));
    double amount = 0;
    ASSERT_HR(S_OK, second->GetAmount(&amount));
    EXPECT_EQ(20.0, amount);
    BSTR name = nullptr;
    ASSERT_HR(S_OK, second->GetPayeeAccountName(&name));
    EXPECT_EQ(L"B Supplier", Take(name));
    ComPtr<ITorvoBankPayment> none;
    EXPECT_HR(E_INVALIDARG, batch->GetItem(2, &none));
    EXPECT_EQ(nullptr, none.Get());
    EXPECT_HR(E_INVALIDARG, batch->GetItem(-1, &none));
    EXPECT_EQ((Texts{"payments.GetCount()", "payments.GetItem(1)", "payment[1].GetAmount()",
                     "payment[1].GetPayeeAccountName()", "payments.GetItem(2) failed 0x80070057",
                     "payments.GetItem(-1) failed 0x80070057"}),
              log_->Texts());
}

TEST_F(HostObjects, APaymentsStatusReturnsWhatWasLastStored) {
    auto batch = MakeComObject<CHostPayments>(log_, std::vector<PaymentData>{Payment(1, L"X", 1)});
    ITorvoBankPayment& payment = batch->Payment(0);
    // The transfer mark handed over, then set and reset by the dialog, then
    // the run's outcome codes, of which the last wins.
    const struct {
        bool set;
        long value;
    } steps[] = {{false, 1}, {true, 0},  {false, 0}, {true, 1},  {false, 1},
                 {true, 0},  {true, 24}, {true, 31}, {false, 31}};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        if (steps[i].set) {
            EXPECT_HR(S_OK, payment.SetStatus(steps[i].value));
        } else {
            long status = -1;
            EXPECT_HR(S_OK, payment.GetStatus(&status));
            EXPECT_EQ(steps[i].value, status);
        }
    }
    EXPECT_EQ(31, batch->Payment(0).Data().status);
    EXPECT_EQ("payment[0].SetStatus(31)", log_->Texts().at(7));
}

TEST_F(HostObjects, InjectedFailuresCarryErrorInformationAndNullTextsAreNull) {
    auto batch = MakeComObject<CHostPayments>(log_, std::vector<PaymentData>{Payment(1, L"X"), Payment(2, L"Y")});
    log_->FailCall("payment[1].GetAmount", E_ACCESSDENIED);
    log_->FailCall("*.GetPayeeSortCode", DISP_E_OVERFLOW);
    log_->ReturnNullText("payment[0].GetPayeeAccountName");

    double amount = -1;
    EXPECT_HR(S_OK, batch->Payment(0).GetAmount(&amount));
    EXPECT_HR(E_ACCESSDENIED, batch->Payment(1).GetAmount(&amount));
    ComPtr<IErrorInfo> error;
    ASSERT_HR(S_OK, GetErrorInfo(0, &error));
    BSTR description = nullptr;
    ASSERT_HR(S_OK, error->GetDescription(&description));
    EXPECT_NE(std::wstring::npos, Take(description).find(L"payment[1].GetAmount"));
    ComPtr<ISupportErrorInfo> supports;
    ASSERT_HR(S_OK, batch->Payment(1).QueryInterface(IID_PPV_ARGS(&supports)));
    EXPECT_HR(S_OK, supports->InterfaceSupportsErrorInfo(IID_ITorvoBankPayment));
    EXPECT_HR(S_FALSE, supports->InterfaceSupportsErrorInfo(IID_ITorvoBankPayments));

    for (std::size_t i = 0; i < 2; ++i) {
        BSTR sortCode = nullptr;
        EXPECT_HR(DISP_E_OVERFLOW, batch->Payment(i).GetPayeeSortCode(&sortCode));
    }
    BSTR name = SysAllocString(L"stale");
    EXPECT_HR(S_OK, batch->Payment(0).GetPayeeAccountName(&name));
    EXPECT_EQ(nullptr, name);
    EXPECT_HR(S_OK, batch->Payment(1).GetPayeeAccountName(&name));
    EXPECT_EQ(L"Y", Take(name));
}

TEST_F(HostObjects, IDispatchReachesTheSameRecordedOperations) {
    auto batch = MakeComObject<CHostPayments>(log_, std::vector<PaymentData>{Payment(12.25, L"X")});
    IDispatch& payment = batch->Payment(0);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"GetAmount"), const_cast<LPOLESTR>(L"SetStatus")};
    DISPID ids[2] = {};
    ASSERT_HR(S_OK, payment.GetIDsOfNames(IID_NULL, &names[0], 1, LOCALE_USER_DEFAULT, &ids[0]));
    ASSERT_HR(S_OK, payment.GetIDsOfNames(IID_NULL, &names[1], 1, LOCALE_USER_DEFAULT, &ids[1]));
    DISPPARAMS noArguments = {};
    VARIANT result;
    VariantInit(&result);
    ASSERT_HR(S_OK, payment.Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                   &noArguments, &result, nullptr, nullptr));
    EXPECT_EQ(VT_R8, V_VT(&result));
    EXPECT_EQ(12.25, V_R8(&result));
    VARIANT status;
    V_VT(&status) = VT_I4;
    V_I4(&status) = 22;
    DISPPARAMS oneArgument = {&status, nullptr, 1, 0};
    ASSERT_HR(S_OK, payment.Invoke(ids[1], IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &oneArgument, nullptr,
                                   nullptr, nullptr));
    EXPECT_EQ((Texts{"payment[0].GetAmount()", "payment[0].SetStatus(22)"}), log_->Texts());
}

TEST_F(HostObjects, TheStatementRecordsTheImportAndHoldsItsTransactions) {
    auto statement = MakeComObject<CHostStatement>(log_);
    ASSERT_HR(S_OK, statement->Clear());
    ASSERT_HR(S_OK, statement->SetBalance(0.0));
    for (long sequence = 1; sequence <= 2; ++sequence) {
        ComPtr<ITorvoBankTransaction> transaction;
        ASSERT_HR(S_OK, statement->AddTransaction(&transaction));
        VARIANT id;
        V_VT(&id) = VT_I4;
        V_I4(&id) = sequence;
        EXPECT_HR(S_OK, transaction->SetID(&id));
        EXPECT_HR(S_OK, transaction->SetDate(45000.0));
        EXPECT_HR(S_OK, transaction->SetType(sequence == 1 ? 0 : 1));
        EXPECT_HR(S_OK, transaction->SetAmount(sequence * 10.1));
        const CBstr text = CBstr::Make(L"CHQ 100234 SMITH");
        EXPECT_HR(S_OK, transaction->SetDescription(text.Get()));
    }
    ASSERT_EQ(2u, statement->Size());
    EXPECT_EQ(VT_I4, V_VT(&statement->Transaction(1).Data().id.Get()));
    EXPECT_EQ(2, V_I4(&statement->Transaction(1).Data().id.Get()));
    EXPECT_EQ(L"CHQ 100234 SMITH", statement->Transaction(0).Data().description);
    const Texts texts = log_->Texts();
    ASSERT_LE(10u, texts.size());
    EXPECT_EQ((Texts{"statement.Clear()", "statement.SetBalance(0)", "statement.AddTransaction()",
                     "transaction[0].SetID(VT_I4 1)", "transaction[0].SetDate(45000)", "transaction[0].SetType(0)",
                     "transaction[0].SetAmount(10.1)", "transaction[0].SetDescription(\"CHQ 100234 SMITH\")",
                     "statement.AddTransaction()", "transaction[1].SetID(VT_I4 2)"}),
              Texts(texts.begin(), texts.begin() + 10));
    ASSERT_HR(S_OK, statement->Clear());
    EXPECT_EQ(0u, statement->Size());
}

TEST_F(HostObjects, TheAccountGivesItsBankDetails) {
    auto account = MakeComObject<CHostBankAccount>(log_, L"12-34-56", L"12345678");
    ComPtr<ITorvoBankDetails> details;
    ASSERT_HR(S_OK, account->GetBankDetails(&details));
    BSTR sortCode = nullptr, number = nullptr;
    ASSERT_HR(S_OK, details->GetSortCode(&sortCode));
    ASSERT_HR(S_OK, details->GetAccountNumber(&number));
    EXPECT_EQ(L"12-34-56", Take(sortCode));
    EXPECT_EQ(L"12345678", Take(number));
    log_->FailCall("account.GetBankDetails", E_FAIL);
    ComPtr<ITorvoBankDetails> failed;
    EXPECT_HR(E_FAIL, account->GetBankDetails(&failed));
    EXPECT_EQ((Texts{"account.GetBankDetails()", "details.GetSortCode()", "details.GetAccountNumber()",
                     "account.GetBankDetails() failed 0x80004005"}),
              log_->Texts());
}

TEST_F(HostObjects, EveryObjectIsFreedWhenTheLastReferenceGoes) {
    {
        auto batch = MakeComObject<CHostPayments>(log_, std::vector<PaymentData>{Payment(1, L"X"), Payment(2, L"Y")});
        auto statement = MakeComObject<CHostStatement>(log_);
        ComPtr<ITorvoBankTransaction> transaction;
        statement->AddTransaction(&transaction);
        auto account = MakeComObject<CHostBankAccount>(log_, L"1", L"2");
        EXPECT_EQ(7, log_->LiveObjects());
        ComPtr<ITorvoBankPayment> kept;
        batch->GetItem(0, &kept);
        batch.Reset();
        EXPECT_EQ(5, log_->LiveObjects()) << "the batch and its other payment go; the fetched one stays";
    }
    EXPECT_EQ(0, log_->LiveObjects());
}

}  // namespace
}  // namespace paylode::referencehost
