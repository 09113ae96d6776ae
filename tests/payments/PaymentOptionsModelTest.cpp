// The payment options dialog's rules without a window: the format table,
// the changed flag, OK's order of checks with its messages and focus, Cancel,
// Set and Reset over a batch with a payment it cannot return, and the list's
// cells.
#include "payments/PaymentOptionsModel.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/LocalClock.h"
#include "common/OleDate.h"
#include "payments/BankingCalendar.h"
#include "payments/Journal.h"
#include "payments/JournalLookup.h"
#include "payments/ModulusCheck.h"
#include "payments/StatementMarks.h"

namespace paylode {
namespace {

WindowHandle const kDialog = reinterpret_cast<WindowHandle>(0x100);
WindowHandle const kActive = reinterpret_cast<WindowHandle>(0x200);

// Wednesday 4 March 2026, 10:30: a banking day with banking days around it.
DateFields Today() {
    DateFields fields;
    EXPECT_TRUE(FieldsFromOleDate(OleDateOfDay(2026, 3, 4), &fields));
    fields.hour = 10;
    fields.minute = 30;
    return fields;
}

using F = PaymentFormat;

// Records every message box and answers them in turn (Yes when none is left).
struct Boxes {
    std::vector<MessageRequest> met;
    std::vector<MessageAnswer> answers;
    ScopedMessageBoxHandler handler{[this](const MessageRequest& request) {
        met.push_back(request);
        if (answers.empty()) return MessageAnswer::Yes;
        const MessageAnswer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }};
};

CPaymentBatchValues Batch(int count) {
    CPaymentBatchValues batch;
    for (int i = 0; i < count; ++i) {
        CPaymentValues payment;
        payment.payeeSortCode = ("10-00-0" + std::to_string(i)).c_str();
        payment.payeeAccountName = ("Payee " + std::to_string(i)).c_str();
        payment.amount = 10.5 + i;
        batch.payments.push_back(payment);
    }
    return batch;
}

std::vector<long> Statuses(const CPaymentBatchValues& batch) {
    std::vector<long> statuses;
    for (const CPaymentValues& payment : batch.payments) statuses.push_back(payment.status);
    return statuses;
}

struct ModelTest : ::testing::Test {
    ScopedLocalClock clock{Today()};
    Boxes boxes;
    CPaymentBatchValues batch = Batch(4);
    CPaymentOptionsModel model{batch, "STORED TPL", "STORED/REF", 0};
};

TEST_F(ModelTest, FormatTableEnablesEmptiesAndDescribes) {
    struct Row {
        PaymentFormat format;
        bool ireland;
        unsigned description, label;
        bool templateOn, referenceOn, iatAllowed;
    };
    // clang-format off
    const Row rows[] = {
        {F::Standard, false, 403, 407, false, false, true}, {F::Template, false, 404, 407, true, false, true},
        {F::BulkList, false, 405, 407, true, true, false},  {F::AdHocBulk, false, 406, 407, false, true, false},
        {F::Standard, true, 409, 408, false, false, true},  {F::Template, true, 404, 408, true, false, true},
        {F::BulkList, true, 405, 408, true, true, false},   {F::AdHocBulk, true, 406, 408, false, true, false},
    };
    // clang-format on
    model.Open();
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const Row& row = rows[i];
        model.SetIrelandPayment(row.ireland);
        const PaymentOptionsFieldTexts texts = model.SelectFormat(row.format);
        const PaymentOptionsLayout layout = model.Layout();
        EXPECT_EQ(row.description, layout.descriptionId);
        EXPECT_EQ(row.label, layout.creditingLabelId);
        EXPECT_EQ(row.templateOn, layout.templateEnabled);
        EXPECT_EQ(row.referenceOn, layout.referenceEnabled);
        EXPECT_EQ(row.iatAllowed, layout.iatBoxEnabled);
        EXPECT_STREQ(row.templateOn ? "STORED TPL" : "", texts.templateName);
        EXPECT_STREQ(row.referenceOn ? "STORED/REF" : "", texts.beneficiaryReference);
        EXPECT_EQ(row.ireland ? 1 : 0, model.GetIrelandPayment());
    }
}

TEST_F(ModelTest, OpensOnFormatZeroWithTheNextCreditingDateAndMarkingOff) {
    const PaymentOptionsFieldTexts texts = model.Open();
    EXPECT_STREQ("", texts.templateName);
    EXPECT_EQ(PaymentFormat::Standard, model.GetPaymentFormat());
    EXPECT_EQ(GetNextCreditingDate(GetToday()), model.GetProcessingDate());
    EXPECT_FALSE(model.Layout().iatListEnabled);
    EXPECT_EQ(4u, model.Rows().size());
    EXPECT_FALSE(model.Changed());
}

TEST_F(ModelTest, IatMarkingIsForcedOffByTheBulkFormatsAndMarksStay) {
    model.Open();
    model.SetIatMarking(true);
    EXPECT_TRUE(model.Layout().iatListEnabled);
    EXPECT_TRUE(model.MarkRows({0, 2}, true));
    model.SetIatMarking(false);
    EXPECT_FALSE(model.Layout().iatListEnabled);
    model.SetIatMarking(true);
    model.SelectFormat(PaymentFormat::BulkList);
    EXPECT_FALSE(model.Layout().iatBoxChecked);
    EXPECT_FALSE(model.Layout().iatListEnabled);
    model.SetIatMarking(true);  // a disabled box cannot be ticked
    EXPECT_FALSE(model.Layout().iatListEnabled);
    model.SelectFormat(PaymentFormat::Template);
    EXPECT_TRUE(model.Layout().iatBoxEnabled);
    EXPECT_FALSE(model.Layout().iatBoxChecked);
    EXPECT_EQ((std::vector<long>{1, 0, 1, 0}), Statuses(batch));
}

TEST_F(ModelTest, WhatSetsTheChangedFlag) {
    const double date = OleDateOfDay(2026, 3, 10);
    struct Row {
        const char* what;
        void (*act)(CPaymentOptionsModel&, double);
        bool changed;
    };
    // clang-format off
    const Row rows[] = {
        {"same format", [](CPaymentOptionsModel& m, double) { m.SelectFormat(PaymentFormat::Standard); }, false},
        {"other format", [](CPaymentOptionsModel& m, double) { m.SelectFormat(PaymentFormat::AdHocBulk); }, true},
        {"Ireland box", [](CPaymentOptionsModel& m, double) { m.SetIrelandPayment(true); }, false},
        {"IAT box", [](CPaymentOptionsModel& m, double) { m.SetIatMarking(true); }, false},
        {"Set, no row", [](CPaymentOptionsModel& m, double) { m.MarkRows({}, true); }, false},
        {"Reset, one row", [](CPaymentOptionsModel& m, double) { m.MarkRows({1}, false); }, true},
        {"same date", [](CPaymentOptionsModel& m, double) { m.ChangeProcessingDate(m.GetProcessingDate()); }, false},
        {"date and back",
         [](CPaymentOptionsModel& m, double d) {
             const double first = m.GetProcessingDate();
             m.ChangeProcessingDate(d);
             m.ChangeProcessingDate(first);
         },
         true},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CPaymentOptionsModel fresh(batch, "", "", 0);
        fresh.Open();
        row.act(fresh, date);
        EXPECT_EQ(row.changed, fresh.Changed());
    }
}

TEST_F(ModelTest, OkChecksFieldsInOrderWithMessageAndFocus) {
    const char* const emptyTemplate = "A value for the Paylode Payment/Bulk List Template field must be supplied.";
    const char* const badTemplate =
        "The Paylode Payment/Bulk List Template field contains invalid characters.\r\nYou may use the letters "
        "A-Z, numbers 0-9, spaces and the following special characters:  .-&&\r\nPlease consult your Paylode "
        "documentation, or Kelmar Bank for further details.";
    const char* const emptyReference = "A value for the Beneficiary Reference field must be supplied.";
    const char* const badReference =
        "The Beneficiary Reference field contains invalid characters.\r\nYou may use the letters A-Z, numbers "
        "0-9, spaces and the following special characters: .-/&&\r\nPlease consult your Paylode documentation, "
        "or Kelmar Bank for further details.";
    struct Row {
        PaymentFormat format;
        const char* templateField;
        const char* referenceField;
        bool close;
        PaymentOptionsField focus;
        const char* message;  // null: none
        const char* templateName;
        const char* reference;
    };
    // clang-format off
    const Row rows[] = {
        {F::Template, "abc-12 & co.", "", true, PaymentOptionsField::None, nullptr, "ABC-12 & CO.", ""},
        // A refused template leaves the reference as it was.
        {F::Template, "AB/12", "", false, PaymentOptionsField::TemplateName, badTemplate, "AB12", "STORED/REF"},
        {F::Template, "", "", false, PaymentOptionsField::TemplateName, emptyTemplate, "", "STORED/REF"},
        {F::Template, "Caf\xE9", "", false, PaymentOptionsField::TemplateName, badTemplate, "CAF", "STORED/REF"},
        {F::BulkList, "TPL", "AB/12", true, PaymentOptionsField::None, nullptr, "TPL", "AB/12"},
        {F::BulkList, "TPL", "ab/12", true, PaymentOptionsField::None, nullptr, "TPL", "AB/12"},
        {F::BulkList, "TPL", "", false, PaymentOptionsField::BeneficiaryReference, emptyReference, "TPL", ""},
        {F::BulkList, "TPL", "a_b", false, PaymentOptionsField::BeneficiaryReference, badReference, "TPL", "AB"},
        {F::BulkList, "", "", false, PaymentOptionsField::TemplateName, emptyTemplate, "", "STORED/REF"},
        {F::Standard, "", "", true, PaymentOptionsField::None, nullptr, "", ""},
        {F::AdHocBulk, "", "", true, PaymentOptionsField::None, nullptr, "", ""},
        {F::AdHocBulk, "", "x_y !", true, PaymentOptionsField::None, nullptr, "", "x_y !"},
        // The bulk list template file is named after the template: a name of
        // blanks only is no name, and a device name is no file name.
        {F::BulkList, "   ", "REF", false, PaymentOptionsField::TemplateName, emptyTemplate, "   ", "STORED/REF"},
        {F::Template, " ", "", false, PaymentOptionsField::TemplateName, emptyTemplate, " ", "STORED/REF"},
        {F::BulkList, "nul", "REF", false, PaymentOptionsField::TemplateName, badTemplate, "NUL", "STORED/REF"},
        {F::BulkList, "Con.txt", "REF", false, PaymentOptionsField::TemplateName, badTemplate, "CON.TXT", "STORED/REF"},
        {F::BulkList, "LPT1 ", "REF", false, PaymentOptionsField::TemplateName, badTemplate, "LPT1 ", "STORED/REF"},
        {F::BulkList, "aux..", "REF", false, PaymentOptionsField::TemplateName, badTemplate, "AUX..", "STORED/REF"},
        {F::Template, "com9", "", false, PaymentOptionsField::TemplateName, badTemplate, "COM9", "STORED/REF"},
        // Dots and blanks only name the payment file's folder or its parent.
        {F::BulkList, "...", "REF", false, PaymentOptionsField::TemplateName, badTemplate, "...", "STORED/REF"},
        {F::BulkList, ". ", "REF", false, PaymentOptionsField::TemplateName, badTemplate, ". ", "STORED/REF"},
        {F::Template, "..", "", false, PaymentOptionsField::TemplateName, badTemplate, "..", "STORED/REF"},
        {F::BulkList, "STAFF.", "REF", true, PaymentOptionsField::None, nullptr, "STAFF.", "REF"},
        {F::BulkList, "prn & co", "REF", true, PaymentOptionsField::None, nullptr, "PRN & CO", "REF"},
        {F::BulkList, " A ", "REF", true, PaymentOptionsField::None, nullptr, " A ", "REF"},
        // The fields hold at most 20 and 18 characters.
        {F::BulkList, "ABCDEFGHIJKLMNOPQRSTUV", "123456789012345678XY", true, PaymentOptionsField::None, nullptr,
         "ABCDEFGHIJKLMNOPQRST", "123456789012345678"},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const Row& row = rows[i];
        Boxes seen;
        CPaymentOptionsModel fresh(batch, "STORED TPL", "STORED/REF", 0);
        fresh.Open();
        fresh.SelectFormat(row.format);
        const PaymentOptionsConfirmation outcome = fresh.Confirm(row.templateField, row.referenceField, kDialog, kActive);
        EXPECT_EQ(row.close, outcome.close);
        EXPECT_EQ(row.focus, outcome.focus);
        ASSERT_EQ(row.message != nullptr ? 1u : 0u, seen.met.size());
        if (row.message != nullptr) {
            EXPECT_EQ(row.message, seen.met[0].text);
            EXPECT_EQ("Torvo Kelmar Bank Paylode", seen.met[0].caption);
            EXPECT_EQ(MessageIcon::Error, seen.met[0].icon);
            EXPECT_EQ(MessageButtons::Ok, seen.met[0].buttons);
            EXPECT_EQ(kActive, seen.met[0].owner);
        }
        EXPECT_STREQ(row.templateName, fresh.GetTemplateName());
        EXPECT_STREQ(row.reference, fresh.GetBeneficiaryReference());
    }
}

TEST_F(ModelTest, OkChecksTheDateFirstAndStaysOpen) {
    struct Row {
        double date;
        const char* caption;
    };
    // clang-format off
    const Row rows[] = {
        {OleDateOfDay(2026, 3, 3), "Invalid Banking Date Specified"},
        {OleDateOfDay(2026, 3, 7), "Non-Banking Date Specified"},
        {OleDateOfDay(2026, 4, 20), "Invalid Processing Date Specified"},  // today + 47, a Monday
        {OleDateOfDay(2026, 4, 17), nullptr},                                 // today + 44, a Friday
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        Boxes seen;
        CPaymentOptionsModel fresh(batch, "", "", 0);
        fresh.Open();
        fresh.SelectFormat(PaymentFormat::Template);
        fresh.ChangeProcessingDate(rows[i].date);
        // An empty template would be refused too: the date's message comes alone.
        const PaymentOptionsConfirmation outcome = fresh.Confirm("", "", kDialog, kActive);
        EXPECT_FALSE(outcome.close);
        ASSERT_EQ(1u, seen.met.size());
        if (rows[i].caption == nullptr) {
            EXPECT_EQ(PaymentOptionsField::TemplateName, outcome.focus);
            EXPECT_EQ(kActive, seen.met[0].owner);
        } else {
            EXPECT_EQ(PaymentOptionsField::None, outcome.focus);
            EXPECT_EQ(rows[i].caption, seen.met[0].caption);
            EXPECT_EQ(kDialog, seen.met[0].owner);
        }
        EXPECT_EQ(rows[i].date, fresh.GetProcessingDate());
    }
}

// A date the computed calendar accepts but the banks are closed on: OK asks
// first, owned by the dialog; Yes goes on as OK does, No stays open.
TEST_F(ModelTest, OkAsksBeforeUsingADateOnWhichTheBanksAreClosed) {
    CBankClosures closures;
    ASSERT_TRUE(closures.Parse("2026-03-06 Test closure\n", nullptr));
    const struct {
        double date;
        MessageAnswer answer;
        bool asked;
        bool close;
    } rows[] = {
        {OleDateOfDay(2026, 3, 6), MessageAnswer::Yes, true, true},
        {OleDateOfDay(2026, 3, 6), MessageAnswer::No, true, false},
        {OleDateOfDay(2026, 3, 5), MessageAnswer::No, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.date);
        Boxes seen;
        seen.answers = {row.answer};
        CPaymentOptionsModel fresh(batch, "", "", 0);
        fresh.SetBankClosures(&closures);
        fresh.Open();
        fresh.ChangeProcessingDate(row.date);
        const PaymentOptionsConfirmation outcome = fresh.Confirm("T", "", kDialog, kActive);
        EXPECT_EQ(row.close, outcome.close);
        EXPECT_EQ(PaymentOptionsField::None, outcome.focus);
        ASSERT_EQ(row.asked ? 1u : 0u, seen.met.size());
        if (!row.asked) continue;
        EXPECT_EQ("Torvo Kelmar Bank Paylode", seen.met[0].caption);
        EXPECT_EQ("The bank is closed on Friday 6 March 2026 (Test closure). Payments dated then will not be "
                  "processed that day. Use this date anyway?",
                  seen.met[0].text);
        EXPECT_EQ(MessageIcon::Warning, seen.met[0].icon);
        EXPECT_EQ(MessageButtons::YesNo, seen.met[0].buttons);
        EXPECT_EQ(kDialog, seen.met[0].owner);
    }
}

TEST_F(ModelTest, ListChecksPayeesAndOkAsksBeforeExportingWhenOneWillBounce) {
    std::string error;
    const std::optional<CModulusTables> tables = CModulusTables::Load(PAYLODE_MODULUS_TABLES_DIR, &error);
    ASSERT_TRUE(tables) << error;
    struct Payee {
        const char *sortCode, *account;
        double amount;
        const char* reference;
    };
    const Payee valid{"08-99-99", "66374958", 10, "INV1"}, invalid{"107999", "88837493", 20, "INV2"},
        unchecked{"99-99-99", "12345678", 30, "INV3"}, badFormat{"089999", "6637 4958", 40, "INV4"};
    // The same payee, amount and reference as `valid`, however the sort
    // code is written: a repeat. A penny more, or another reference, is not.
    const Payee again{"089999", "66374958", 10.004, "INV1"}, penny{"089999", "66374958", 10.01, "INV1"},
        otherReference{"089999", "66374958", 10, "INV9"};
    struct Row {
        std::vector<Payee> payees;
        std::vector<const char*> cells;
        const char* question;  // null: none asked
        MessageAnswer answer;
    };
    // clang-format off
    const Row rows[] = {
        {{valid, unchecked, penny, otherReference}, {"valid", "not checked", "valid", "valid"}, nullptr,
         MessageAnswer::No},
        {{valid, invalid}, {"valid", "invalid"},
         "1 payee account fails the bank's account number check. Export the payment file anyway?", MessageAnswer::Yes},
        {{valid, invalid, badFormat}, {"valid", "invalid", "bad format"},
         "2 payee accounts fail the bank's account number check. Export the payment file anyway?", MessageAnswer::No},
        {{valid, unchecked, again}, {"valid", "not checked", "valid, repeats 1"},
         "1 payment repeats an earlier one. Export the payment file anyway?", MessageAnswer::Yes},
        {{invalid, valid, invalid, again, again}, {"invalid", "valid", "invalid, repeats 1", "valid, repeats 2",
         "valid, repeats 2"},
         "2 payee accounts fail the bank's account number check and 3 payments repeat earlier ones. Export the "
         "payment file anyway?", MessageAnswer::No},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const Row& row = rows[i];
        CPaymentBatchValues payees;
        for (const Payee& payee : row.payees) {
            CPaymentValues payment;
            payment.payeeSortCode = payee.sortCode;
            payment.payeeAccountNumber = payee.account;
            payment.amount = payee.amount;
            payment.payeeBACSReference = payee.reference;
            payees.payments.push_back(payment);
        }
        Boxes seen;
        seen.answers = {row.answer};
        CPaymentOptionsModel fresh(payees, "", "", 0);
        fresh.SetModulusTables(&*tables);
        fresh.Open();
        ASSERT_EQ(row.cells.size(), fresh.Rows().size());
        for (std::size_t r = 0; r < row.cells.size(); ++r) {
            EXPECT_STREQ(row.cells[r], fresh.Rows()[r].cells[kColumnAccountCheck]) << r;
        }
        const PaymentOptionsConfirmation outcome = fresh.Confirm("", "", kDialog, kActive);
        EXPECT_EQ(row.question == nullptr || row.answer == MessageAnswer::Yes, outcome.close);
        EXPECT_EQ(PaymentOptionsField::None, outcome.focus);
        ASSERT_EQ(row.question != nullptr ? 1u : 0u, seen.met.size());
        if (row.question == nullptr) continue;
        EXPECT_EQ(row.question, seen.met[0].text);
        EXPECT_EQ("Torvo Kelmar Bank Paylode", seen.met[0].caption);
        EXPECT_EQ(MessageIcon::Warning, seen.met[0].icon);
        EXPECT_EQ(MessageButtons::YesNo, seen.met[0].buttons);
        EXPECT_EQ(kDialog, seen.met[0].owner);
    }
    // Without the tables every account is "not checked"; repeats are still told.
    CPaymentBatchValues twice = Batch(1);
    twice.payments.push_back(twice.payments[0]);
    CPaymentOptionsModel untabled(twice, "", "", 0);
    untabled.FillList();
    EXPECT_STREQ("not checked", untabled.Rows()[0].cells[kColumnAccountCheck]);
    EXPECT_STREQ("not checked, repeats 1", untabled.Rows()[1].cells[kColumnAccountCheck]);
}

// A payment the journal shows was exported before from the same paying
// account gets "exported DD/MM/YYYY" in its check cell, and the question on
// OK counts it; the journal is read once, however often the list is filled.
TEST_F(ModelTest, PaymentsExportedBeforeAreToldInTheCellAndTheQuestion) {
    JournalRun run;
    run.run = "R1";
    run.exported = {2026, 12, 3, 4, 10, 15, 0};
    run.user = "CLERK";
    run.machine = "PAY1";
    run.payerSortCode = "12-34-56";
    run.payerAccountNumber = "12345678";
    run.processingDate = OleDateOfDay(2026, 12, 7);
    run.currency = "GBP";
    run.paymentFile = "C:\\Pay\\pay.txt";
    const JournalPayment first{1, "Payee 0", "100000", "", 10.5, "", ""};
    const JournalPayment second{2, "Payee 1", "10-00-01", "", 11.5, "", ""};
    const std::string journal = JournalAppendText("", run, {first, second});
    // The second payment seen on a statement after an import.
    Reconciliation seen;
    seen.items.push_back({"R1", 2, 1150, 0, 0, {}, 4, OleDateOfDay(2026, 12, 7)});
    const std::string marks = StatementMarksAppendText("", seen, CStatementMarks(), "march.csv", run.exported);
    struct Row {
        const char* name;
        std::string payerAccountNumber;
        double amountOfFirst;
        bool readable;
        std::vector<const char*> cells;
        const char* question;  // null: none asked
    };
    // clang-format off
    const Row rows[] = {
        {"exported again", "12345678", 10.5, true,
         {"not checked, exported 03/12/2026", "not checked, exported 03/12/2026, on statement 07/12/2026",
          "not checked", "not checked"},
         "2 payments were exported before (the latest on 3 December 2026). Export the payment file anyway?"},
        {"another amount", "12345678", 10.51, true,
         {"not checked", "not checked, exported 03/12/2026, on statement 07/12/2026", "not checked", "not checked"},
         "1 payment was exported before (the latest on 3 December 2026). Export the payment file anyway?"},
        {"another paying account", "87654321", 10.5, true, {"not checked", "not checked", "not checked", "not checked"},
         nullptr},
        {"a journal that cannot be read", "12345678", 10.5, false,
         {"not checked", "not checked", "not checked", "not checked"},
         "Earlier exports could not be checked: the payment journal cannot be read. Export the payment file anyway?"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CPaymentBatchValues payments = Batch(4);
        payments.payments[0].amount = row.amountOfFirst;
        Boxes seen;
        seen.answers = {MessageAnswer::No};
        CPaymentOptionsModel fresh(payments, "", "", 0);
        int scans = 0;
        fresh.SetPaymentJournal({"123456", row.payerAccountNumber, OleDateOfDay(2026, 12, 8), 14},
                                [&](CExportedBefore& lookUp) {
                                    ++scans;
                                    if (row.readable) lookUp.ScanJournal(journal);
                                    lookUp.ReadStatementMarks(marks);
                                    return row.readable;
                                });
        fresh.Open();
        fresh.SetIatMarking(true);
        ASSERT_TRUE(fresh.MarkRows({3}, true));
        EXPECT_EQ(1, scans) << "the journal is read once";
        ASSERT_EQ(row.cells.size(), fresh.Rows().size());
        for (std::size_t r = 0; r < row.cells.size(); ++r) {
            EXPECT_STREQ(row.cells[r], fresh.Rows()[r].cells[kColumnAccountCheck]) << r;
        }
        const PaymentOptionsConfirmation outcome = fresh.Confirm("", "", kDialog, kActive);
        ASSERT_EQ(row.question != nullptr ? 1u : 0u, seen.met.size());
        EXPECT_EQ(row.question == nullptr, outcome.close) << "No returns to the dialog";
        if (row.question != nullptr) {
            EXPECT_EQ(row.question, seen.met[0].text);
        }
    }
}

TEST_F(ModelTest, CancelAsksOnlyAfterChangesAndClearsEveryMark) {
    struct Row {
        bool change;
        MessageAnswer answer;
        bool closes;
        std::vector<long> statuses;
    };
    // clang-format off
    const Row rows[] = {
        {false, MessageAnswer::Yes, true, {0, 0, 7, 0}},
        {true, MessageAnswer::No, false, {1, 0, 7, 1}},
        {true, MessageAnswer::Yes, true, {0, 0, 7, 0}},  // index 2 is not returned
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        CPaymentBatchValues marked = Batch(4);
        marked.payments[0].status = 1;
        marked.payments[2].status = 7;
        marked.missing = {2};
        Boxes seen;
        seen.answers = {rows[i].answer};
        CPaymentOptionsModel fresh(marked, "", "", 0);
        fresh.Open();
        if (rows[i].change) fresh.MarkRows({2}, true);  // row 2 is batch index 3
        EXPECT_EQ(rows[i].closes, fresh.Cancel(kDialog));
        EXPECT_EQ(rows[i].statuses, Statuses(marked));
        ASSERT_EQ(rows[i].change ? 1u : 0u, seen.met.size());
        if (rows[i].change) {
            EXPECT_EQ("Changes have been made", seen.met[0].caption);
            EXPECT_EQ("Do you wish to ignore these changes?", seen.met[0].text);
            EXPECT_EQ(MessageIcon::Question, seen.met[0].icon);
            EXPECT_EQ(MessageButtons::YesNo, seen.met[0].buttons);
            EXPECT_EQ(kDialog, seen.met[0].owner);
        }
    }
}

TEST_F(ModelTest, SetAndResetMarkTheRowsOwnPaymentWhenOneIsMissing) {
    batch.missing = {1};
    model.Open();
    ASSERT_EQ(3u, model.Rows().size());
    EXPECT_EQ((std::vector<long>{0, 2, 3}),
              (std::vector<long>{model.Rows()[0].batchIndex, model.Rows()[1].batchIndex, model.Rows()[2].batchIndex}));
    EXPECT_TRUE(model.MarkRows({1, 2}, true));
    EXPECT_EQ((std::vector<long>{0, 0, 1, 1}), Statuses(batch));
    EXPECT_STREQ("Yes", model.Rows()[1].cells[kColumnIsIat]);
    EXPECT_STREQ("No", model.Rows()[0].cells[kColumnIsIat]);
    EXPECT_TRUE(model.MarkRows({2}, false));
    EXPECT_EQ((std::vector<long>{0, 0, 1, 0}), Statuses(batch));
}

TEST_F(ModelTest, ListCellsAreCutToTheirWidths) {
    CPaymentBatchValues one;
    CPaymentValues payment;
    payment.payeeSortCode = "12-34-56-7890";
    payment.payeeAccountNumber = std::string(40, 'A').c_str();
    payment.payeeAccountName = std::string(40, 'N').c_str();
    payment.amount = -1234.5;
    payment.payeeBACSReference = std::string(40, 'R').c_str();
    payment.details = std::string(300, 'D').c_str();
    payment.status = 20;
    one.payments = {payment};
    CPaymentOptionsModel fresh(one, "", "", 0);
    fresh.FillList();
    ASSERT_EQ(1u, fresh.Rows().size());
    const PaymentListRow& row = fresh.Rows()[0];
    EXPECT_STREQ("12-34-56-7", row.cells[kColumnSortCode]);
    EXPECT_EQ(29, row.cells[kColumnAccountNumber].GetLength());
    EXPECT_EQ(31, row.cells[kColumnName].GetLength());
    EXPECT_STREQ("-1234.50", row.cells[kColumnAmount]);
    EXPECT_EQ(31, row.cells[kColumnReference].GetLength());
    EXPECT_EQ(254, row.cells[kColumnDetails].GetLength());
    EXPECT_STREQ("Yes", row.cells[kColumnIsIat]);
}

}  // namespace
}  // namespace paylode
