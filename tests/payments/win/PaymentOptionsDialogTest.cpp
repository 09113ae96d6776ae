// Under Wine and Xvfb: the real payment options dialog from the DLL's own
// resources, driven through its controls as a user would (clicks, typing,
// row selection, keys), its message boxes met by the rig, and the payments'
// statuses read back from the reference host's recording batch.
#include <gtest/gtest.h>

#include "common/win/Platform.h"

#include <commctrl.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "combase/ComPointers.h"
#include "combase/Module.h"
#include "common/LocalClock.h"
#include "common/OleDate.h"
#include "payments/BankingCalendar.h"
#include "payments/win/PaymentOptionsDialog.h"
#include "referencehost/DialogDrivers.h"
#include "referencehost/HostPayments.h"
#include "resources/resource.h"
#include "support/MessageBoxRig.h"
#include "support/ScopedRegistration.h"

namespace paylode {
namespace {

using referencehost::CHostCallLog;
using referencehost::CHostPayments;

using referencehost::PaymentData;
using testrig::MessageBoxScript;

// ---- driving the dialog ------------------------------------------------------

// A key pressed where the focus is, through the dialog's own modal loop.
void PressKey(HWND dialog, WPARAM key) {
    const HWND focus = GetFocus();
    PostMessageA(focus != nullptr ? focus : dialog, WM_KEYDOWN, key, 0);
    PostMessageA(focus != nullptr ? focus : dialog, WM_KEYUP, key, 0);
}

void SelectRows(HWND dialog, const std::vector<int>& rows) { paylode::SelectRows(dialog, IDC_IAT_LIST, rows); }

std::string Text(HWND dialog, int id) {
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string Cell(HWND dialog, int row, int column) {
    char text[300] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(GetDlgItem(dialog, IDC_IAT_LIST), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

int RowCount(HWND dialog) {
    return static_cast<int>(SendMessageA(GetDlgItem(dialog, IDC_IAT_LIST), LVM_GETITEMCOUNT, 0, 0));
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::string StringResource(unsigned id) {
    CString text;
    text.LoadString(CModule::Instance(), id);
    return text.GetString();
}

// ---- the fixture -------------------------------------------------------------

// Wednesday 4 March 2026, 10:30: the dialog proposes the next crediting date
// from there.
DateFields Today() {
    DateFields fields;
    FieldsFromOleDate(OleDateOfDay(2026, 3, 4), &fields);
    fields.hour = 10;
    fields.minute = 30;
    return fields;
}

class PaymentOptionsDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The dialog, its icon and its strings come from the DLL's resources.
        previous_ = CModule::Instance();
        dll_ = LoadLibraryW(testrig::PathBesideProgram(L"TorvoKelmarBankPaylode.DLL").c_str());
        ASSERT_NE(nullptr, dll_);
        CModule::Attach(dll_);
    }
    static void TearDownTestSuite() {
        CModule::Attach(previous_);
        FreeLibrary(dll_);
    }

    void SetUp() override { MakeBatch(4); }

    void MakeBatch(int count) {
        std::vector<PaymentData> payments(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            PaymentData& data = payments[static_cast<std::size_t>(i)];
            // Sort codes no modulus rule covers: no account is questioned.
            data.payeeSortCode = L"99-00-0" + std::to_wstring(i % 10);
            data.payeeAccountNumber = L"1234567" + std::to_wstring(i % 10);
            data.payeeAccountName = L"Supplier " + std::to_wstring(i);
            data.payeeBACSReference = L"INV" + std::to_wstring(i);
            data.details = L"Invoice " + std::to_wstring(i);
            data.amount = 100.25 + i;
        }
        batch_ = MakeComObject<CHostPayments>(log_, payments);
    }

    std::vector<long> Statuses() const {
        std::vector<long> statuses;
        for (std::size_t i = 0; i < batch_->Size(); ++i) statuses.push_back(batch_->Payment(i).Data().status);
        return statuses;
    }

    // Shows the dialog owned by a visible host window, runs the steps in it,
    // and gives DoModal's result.
    INT_PTR Run(CPaymentOptionsDialog& dialog, std::function<void(HWND)> steps) {
        CPaymentOptionsDriver driver(std::move(steps));
        const INT_PTR result = dialog.DoModal(owner_);
        EXPECT_TRUE(driver.met) << "the dialog never came up";
        return result;
    }

    static HMODULE dll_;
    static HINSTANCE previous_;
    ScopedLocalClock clock_{Today()};
    std::shared_ptr<CHostCallLog> log_ = std::make_shared<CHostCallLog>();
    Microsoft::WRL::ComPtr<CHostPayments> batch_;
    HWND owner_ = CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 900, 700, nullptr,
                                  nullptr, nullptr, nullptr);
    ~PaymentOptionsDialogTest() override { DestroyWindow(owner_); }
};
HMODULE PaymentOptionsDialogTest::dll_ = nullptr;
HINSTANCE PaymentOptionsDialogTest::previous_ = nullptr;

// ---- the resource ------------------------------------------------------------

TEST_F(PaymentOptionsDialogTest, ControlsSitWhereTheResourceDrawsThem) {
    struct Control {
        int id;
        const char* windowClass;
        const char* caption;  // null: not compared
        RECT units;           // x, y, width, height in dialog units
        DWORD style;          // bits that must be set
    };
    // clang-format off
    const Control controls[] = {
        {IDC_FORMAT_GROUP, "Button", "Payment Format", {9, 23, 375, 47}, BS_GROUPBOX},
        {IDC_CREDITING_LABEL, "Static", nullptr, {185, 7, 118, 9}, 0},
        {IDC_PROCESSING_DATE, "SysDateTimePick32", nullptr, {313, 4, 70, 12}, DTS_RIGHTALIGN},
        {IDC_FORMAT_STANDARD, "Button", "Standard Domestic/IATs", {19, 36, 93, 10}, BS_AUTORADIOBUTTON},
        {IDC_FORMAT_TEMPLATE, "Button", "Use a Template for Domestic/IAT", {116, 31, 78, 19},
         BS_AUTORADIOBUTTON | BS_MULTILINE},
        {IDC_FORMAT_BULK_LIST, "Button", "Bulk List Payments", {203, 36, 75, 10}, BS_AUTORADIOBUTTON},
        {IDC_FORMAT_AD_HOC_BULK, "Button", "Ad Hoc Bulk Payments", {286, 36, 85, 10}, BS_AUTORADIOBUTTON},
        {IDC_DESCRIPTION, "Static", nullptr, {12, 52, 369, 16}, 0},
        {IDC_TEMPLATE_LABEL, "Static", "Paylode Payment/Bulk List Template:", {8, 76, 123, 8}, 0},
        {IDC_TEMPLATE, "Edit", nullptr, {162, 73, 91, 14}, ES_AUTOHSCROLL},
        {IDC_REFERENCE_LABEL, "Static", "Beneficiary Reference:", {8, 93, 108, 8}, 0},
        {IDC_REFERENCE, "Edit", nullptr, {162, 89, 91, 14}, ES_AUTOHSCROLL},
        {IDC_IAT_CHECK, "Button", "Do you wish to define Payments as being 'Inter Account Transfers' (IATs)?",
         {6, 109, 247, 9}, BS_AUTOCHECKBOX | BS_LEFTTEXT},
        {IDC_IAT_EXPLANATION, "Static",
         "If you wish to mark some of the payments as being Inter Account Transfers, then tick the box below, "
         "select the payments which you know to be IATs and click the 'Set' button.  Use the 'Reset' button to "
         "clear the IAT state of a payment. ",
         {7, 120, 379, 17}, 0},
        {IDC_IAT_LIST, "SysListView32", nullptr, {7, 141, 380, 105},
         LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA},
        {IDC_SET, "Button", "&Set", {7, 251, 56, 14}, BS_PUSHBUTTON},
        {IDC_RESET, "Button", "&Reset", {71, 251, 56, 14}, BS_PUSHBUTTON},
        {IDOK, "Button", "&OK", {267, 251, 56, 14}, BS_DEFPUSHBUTTON},
        {IDCANCEL, "Button", "&Cancel", {332, 251, 56, 14}, BS_PUSHBUTTON},
        {IDC_IRELAND, "Button", "Republic Of Ireland Payment", {9, 7, 106, 10}, BS_AUTOCHECKBOX},
    };
    // clang-format on
    MessageBoxScript boxes({});
    CPaymentOptionsDialog dialog(batch_.Get(), "", "", 0);
    Run(dialog, [&](HWND window) {
        char caption[128] = {};
        GetWindowTextA(window, caption, sizeof caption);
        EXPECT_STREQ("Torvo Kelmar Bank Paylode Payment Processing", caption);
        RECT size = {0, 0, 396, 268};
        MapDialogRect(window, &size);
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(size.right, client.right);
        EXPECT_EQ(size.bottom, client.bottom);
        EXPECT_NE(0, SendMessageA(window, WM_GETICON, ICON_BIG, 0));
        EXPECT_NE(0, SendMessageA(window, WM_GETICON, ICON_SMALL, 0));

        HWND previous = nullptr;
        for (const Control& control : controls) {
            SCOPED_TRACE(control.id);
            const HWND item = GetDlgItem(window, control.id);
            ASSERT_NE(nullptr, item);
            // In the order of the resource.
            EXPECT_EQ(previous == nullptr ? GetWindow(window, GW_CHILD) : GetWindow(previous, GW_HWNDNEXT), item);
            previous = item;
            char windowClass[64] = {};
            GetClassNameA(item, windowClass, sizeof windowClass);
            EXPECT_STRCASEEQ(control.windowClass, windowClass);
            if (control.caption != nullptr) {
                EXPECT_EQ(control.caption, Text(window, control.id));
            }
            const DWORD style = static_cast<DWORD>(GetWindowLongA(item, GWL_STYLE));
            if (std::string(control.windowClass) == "Button") {
                EXPECT_EQ(control.style & BS_TYPEMASK, style & BS_TYPEMASK);
            }
            EXPECT_EQ(control.style & ~BS_TYPEMASK, style & control.style & ~BS_TYPEMASK);
            // Position and size are mapped from dialog units each on its own.
            RECT expected = control.units;
            MapDialogRect(window, &expected);
            RECT actual{};
            GetWindowRect(item, &actual);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(expected.left, actual.left);
            EXPECT_EQ(expected.top, actual.top);
            EXPECT_EQ(expected.right, actual.right - actual.left);
            EXPECT_EQ(expected.bottom, actual.bottom - actual.top);
        }
        // Bordered: the edits and the list view draw WS_BORDER as a client edge.
        for (int id : {IDC_TEMPLATE, IDC_REFERENCE, IDC_IAT_LIST}) {
            const LONG style = GetWindowLongA(GetDlgItem(window, id), GWL_STYLE);
            const LONG exStyle = GetWindowLongA(GetDlgItem(window, id), GWL_EXSTYLE);
            EXPECT_TRUE((style & WS_BORDER) != 0 || (exStyle & WS_EX_CLIENTEDGE) != 0) << id;
        }

        // The list: whole-row selection, eight columns, the last added to
        // what the resource holds.
        const HWND list = GetDlgItem(window, IDC_IAT_LIST);
        EXPECT_NE(0, SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
        const struct {
            const char* header;
            int width, format;
        } columns[] = {{"Sort Code", 65, LVCFMT_LEFT}, {"Acc. Number", 80, LVCFMT_LEFT}, {"Name", 95, LVCFMT_LEFT},
                       {"Amount", 70, LVCFMT_RIGHT},   {"Reference", 90, LVCFMT_LEFT},   {"Details", 110, LVCFMT_LEFT},
                       {"Is IAT", 50, LVCFMT_LEFT},    {"Account check", 190, LVCFMT_LEFT}};
        for (int i = 0; i < 8; ++i) {
            SCOPED_TRACE(i);
            char header[64] = {};
            LVCOLUMNA column{};
            column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
            column.pszText = header;
            column.cchTextMax = sizeof header;
            ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
            EXPECT_STREQ(columns[i].header, header);
            EXPECT_EQ(columns[i].width, column.cx);
            EXPECT_EQ(columns[i].format, column.fmt & LVCFMT_JUSTIFYMASK);
        }
        EXPECT_FALSE(SendMessageA(list, LVM_GETCOLUMNA, 8, reinterpret_cast<LPARAM>(&size)));
        Click(window, IDCANCEL);
    });
    EXPECT_TRUE(boxes.Verify());
}

// ---- opening -----------------------------------------------------------------

TEST_F(PaymentOptionsDialogTest, OpensCentredOnFormatZeroWithTheRowsAndTheNextCreditingDate) {
    batch_->Payment(2).SetStatus(1);
    MessageBoxScript boxes({});
    CPaymentOptionsDialog dialog(batch_.Get(), "STORED", "REF/1", 0);
    const double proposed = GetNextCreditingDate(GetToday());
    Run(dialog, [&](HWND window) {
        RECT placed{};
        GetWindowRect(window, &placed);
        RECT host{};
        GetWindowRect(owner_, &host);
        EXPECT_EQ((host.left + host.right) / 2 - (placed.right - placed.left) / 2, placed.left);
        EXPECT_EQ((host.top + host.bottom) / 2 - (placed.bottom - placed.top) / 2, placed.top);

        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(window, IDC_FORMAT_STANDARD));
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(window, IDC_IRELAND));
        EXPECT_EQ(StringResource(IDS_NEXT_BACS_CREDITING_DATE), Text(window, IDC_CREDITING_LABEL));
        EXPECT_EQ(StringResource(IDS_FORMAT_STANDARD_DESCRIPTION), Text(window, IDC_DESCRIPTION));
        EXPECT_EQ("", Text(window, IDC_TEMPLATE));
        EXPECT_EQ("", Text(window, IDC_REFERENCE));
        for (int id :
             {IDC_TEMPLATE, IDC_TEMPLATE_LABEL, IDC_REFERENCE, IDC_REFERENCE_LABEL, IDC_IAT_LIST, IDC_SET, IDC_RESET}) {
            EXPECT_FALSE(Enabled(window, id)) << id;
        }
        EXPECT_TRUE(Enabled(window, IDC_IAT_CHECK));

        SYSTEMTIME shown{};
        ASSERT_EQ(GDT_VALID, SendDlgItemMessageA(window, IDC_PROCESSING_DATE, DTM_GETSYSTEMTIME, 0,
                                                 reinterpret_cast<LPARAM>(&shown)));
        DateFields fields;
        ASSERT_TRUE(FieldsFromOleDate(proposed, &fields));
        EXPECT_EQ(fields.year, shown.wYear);
        EXPECT_EQ(fields.month, shown.wMonth);
        EXPECT_EQ(fields.day, shown.wDay);

        ASSERT_EQ(4, RowCount(window));
        const char* const expected[] = {"99-00-02", "12345672", "Supplier 2", "102.25",
                                        "INV2",     "Invoice 2", "Yes",       "not checked"};
        for (int column = 0; column < 8; ++column) EXPECT_EQ(expected[column], Cell(window, 2, column)) << column;
        EXPECT_EQ("No", Cell(window, 1, 6));
        Click(window, IDCANCEL);
    });
    EXPECT_TRUE(boxes.Verify());
    EXPECT_EQ(proposed, dialog.GetProcessingDate());
}

// ---- the format rules, the Ireland box and OK --------------------------------

TEST_F(PaymentOptionsDialogTest, IrelandBoxSwitchesLabelAndTheStandardDescriptionOnly) {
    MessageBoxScript boxes({});
    CPaymentOptionsDialog dialog(batch_.Get(), "STORED", "", 0);
    const INT_PTR result = Run(dialog, [&](HWND window) {
        Click(window, IDC_IRELAND);
        EXPECT_EQ(StringResource(IDS_NEXT_EURO_CREDITING_DATE), Text(window, IDC_CREDITING_LABEL));
        EXPECT_EQ(StringResource(IDS_FORMAT_STANDARD_EURO_DESCRIPTION), Text(window, IDC_DESCRIPTION));
        Click(window, IDC_FORMAT_TEMPLATE);
        EXPECT_EQ(StringResource(IDS_FORMAT_TEMPLATE_DESCRIPTION), Text(window, IDC_DESCRIPTION));
        EXPECT_EQ("STORED", Text(window, IDC_TEMPLATE));
        Click(window, IDC_IRELAND);
        EXPECT_EQ(StringResource(IDS_NEXT_BACS_CREDITING_DATE), Text(window, IDC_CREDITING_LABEL));
        EXPECT_EQ(StringResource(IDS_FORMAT_TEMPLATE_DESCRIPTION), Text(window, IDC_DESCRIPTION));
        Click(window, IDC_IRELAND);
        Click(window, IDOK);
    });
    EXPECT_TRUE(boxes.Verify());
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1, dialog.GetIrelandPayment());
    EXPECT_EQ(PaymentFormat::Template, dialog.GetPaymentFormat());
    EXPECT_STREQ("STORED", dialog.GetTemplateName());
}

TEST_F(PaymentOptionsDialogTest, OkHoldsTheFieldsToTheirRules) {
    const char* const templateCharacters =
        "The Paylode Payment/Bulk List Template field contains invalid characters.\r\nYou may use the letters "
        "A-Z, numbers 0-9, spaces and the following special characters:  .-&&\r\nPlease consult your Paylode "
        "documentation, or Kelmar Bank for further details.";
    const char* const referenceCharacters =
        "The Beneficiary Reference field contains invalid characters.\r\nYou may use the letters A-Z, numbers "
        "0-9, spaces and the following special characters: .-/&&\r\nPlease consult your Paylode documentation, "
        "or Kelmar Bank for further details.";
    struct Row {
        int formatButton;
        std::string templateTyped, referenceTyped;
        const char* message;  // the one box OK shows first, or null
        int focus;            // the field that gets the focus after it
        // Typed after the box, then OK again closes the dialog.
        std::string templateFixed, referenceFixed;
        const char* templateName;
        const char* reference;
    };
    // clang-format off
    const Row rows[] = {
        {IDC_FORMAT_TEMPLATE, "abc-12 & co.", "", nullptr, 0, "", "", "ABC-12 & CO.", ""},
        {IDC_FORMAT_TEMPLATE, "AB/12", "", templateCharacters, IDC_TEMPLATE, "AB 12", "", "AB 12", ""},
        {IDC_FORMAT_TEMPLATE, "", "", "A value for the Paylode Payment/Bulk List Template field must be supplied.",
         IDC_TEMPLATE, "T1", "", "T1", ""},
        {IDC_FORMAT_BULK_LIST, "LIST", "AB/12", nullptr, 0, "", "", "LIST", "AB/12"},
        {IDC_FORMAT_BULK_LIST, "LIST", "", "A value for the Beneficiary Reference field must be supplied.",
         IDC_REFERENCE, "LIST", "r1", "LIST", "R1"},
        {IDC_FORMAT_BULK_LIST, "LIST", "a+b", referenceCharacters, IDC_REFERENCE, "LIST", "a b", "LIST", "A B"},
        {IDC_FORMAT_AD_HOC_BULK, "", "x+y", nullptr, 0, "", "", "", "x+y"},
        {IDC_FORMAT_AD_HOC_BULK, "", "", nullptr, 0, "", "", "", ""},
        // The fields take no more than 20 and 18 characters.
        {IDC_FORMAT_BULK_LIST, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "1234567890123456789012", nullptr, 0, "", "",
         "ABCDEFGHIJKLMNOPQRST", "123456789012345678"},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const Row& row = rows[i];
        MessageBoxScript boxes(row.message != nullptr ? std::vector<MessageAnswer>{MessageAnswer::Ok}
                                                      : std::vector<MessageAnswer>{});
        CPaymentOptionsDialog dialog(batch_.Get(), "STORED", "", 0);
        HWND shown = nullptr;
        const INT_PTR result = Run(dialog, [&](HWND window) {
            shown = window;
            Click(window, row.formatButton);
            if (Enabled(window, IDC_TEMPLATE)) Type(window, IDC_TEMPLATE, row.templateTyped);
            if (Enabled(window, IDC_REFERENCE)) Type(window, IDC_REFERENCE, row.referenceTyped);
            Click(window, IDOK);
            if (row.message == nullptr) return;
            EXPECT_EQ(GetDlgItem(window, row.focus), GetFocus());
            Type(window, IDC_TEMPLATE, row.templateFixed);
            if (Enabled(window, IDC_REFERENCE)) Type(window, IDC_REFERENCE, row.referenceFixed);
            Click(window, IDOK);
        });
        EXPECT_TRUE(boxes.Verify());
        EXPECT_EQ(IDOK, result);
        if (row.message != nullptr && boxes.Met().size() == 1) {
            EXPECT_EQ(row.message, boxes.Met()[0].text);
            EXPECT_EQ("Torvo Kelmar Bank Paylode", boxes.Met()[0].caption);
            EXPECT_EQ(MessageIcon::Error, boxes.Met()[0].icon);
            EXPECT_EQ(shown, boxes.Met()[0].owner);
        }
        EXPECT_STREQ(row.templateName, dialog.GetTemplateName());
        EXPECT_STREQ(row.reference, dialog.GetBeneficiaryReference());
    }
}

void PickDate(HWND dialog, int year, int month, int day) {
    paylode::PickDate(dialog, IDC_PROCESSING_DATE, year, month, day);
}

TEST_F(PaymentOptionsDialogTest, OkRefusesDatesTheCalendarRefuses) {
    struct Row {
        int year, month, day;
        const char* caption;
    };
    // clang-format off
    const Row rows[] = {
        {2026, 3, 3, "Invalid Banking Date Specified"},    // Tuesday, yesterday
        {2026, 3, 7, "Non-Banking Date Specified"},        // Saturday
        {2026, 4, 20, "Invalid Processing Date Specified"},  // Monday, today + 47
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const Row& row = rows[i];
        MessageBoxScript boxes({MessageAnswer::Ok, MessageAnswer::Yes});
        CPaymentOptionsDialog dialog(batch_.Get(), "", "", 0);
        HWND shown = nullptr;
        const INT_PTR result = Run(dialog, [&](HWND window) {
            shown = window;
            PickDate(window, row.year, row.month, row.day);
            Click(window, IDOK);
            // The date is kept; the changed date makes Cancel ask.
            Click(window, IDCANCEL);
        });
        EXPECT_TRUE(boxes.Verify());
        EXPECT_EQ(IDCANCEL, result);
        ASSERT_EQ(2u, boxes.Met().size());
        EXPECT_EQ(row.caption, boxes.Met()[0].caption);
        EXPECT_EQ(MessageIcon::Warning, boxes.Met()[0].icon);
        EXPECT_EQ(shown, boxes.Met()[0].owner);
        EXPECT_EQ("Changes have been made", boxes.Met()[1].caption);
        EXPECT_EQ(OleDateOfDay(row.year, row.month, row.day), std::floor(dialog.GetProcessingDate()));
    }
}

// ---- the questions on OK ---------------------------------------------------

TEST_F(PaymentOptionsDialogTest, OkAsksAboutPayeesThatWillBounceAndDaysTheBanksAreClosed) {
    // Monday 20 December 2027: Monday 3 January 2028 is a banking day by the
    // computed rules and a closed day in the table beside the DLL.
    DateFields monday;
    ASSERT_TRUE(FieldsFromOleDate(OleDateOfDay(2027, 12, 20), &monday));
    ScopedLocalClock clock(monday);
    const char* const closed =
        "The bank is closed on Monday 3 January 2028 (New Year's Day, substitute day). Payments dated then will not "
        "be processed that day. Use this date anyway?";
    const char* const fails = "1 payee account fails the bank's account number check";
    const char* const repeats = "1 payment repeats an earlier one";
    const std::string anyway = ". Export the payment file anyway?";
    const auto payee = [](const wchar_t* sortCode, const wchar_t* account, const wchar_t* reference, double amount) {
        PaymentData data;
        data.payeeSortCode = sortCode;
        data.payeeAccountNumber = account;
        data.payeeBACSReference = reference;
        data.amount = amount;
        return data;
    };
    const PaymentData valid = payee(L"089999", L"66374958", L"INV1", 10),
                      unchecked = payee(L"99-99-99", L"12345678", L"INV2", 20),
                      invalid = payee(L"107999", L"88837493", L"INV3", 30),
                      again = payee(L"08-99-99", L"66374958", L"INV1", 10);
    struct Row {
        std::vector<PaymentData> payees;
        bool closedDate;
        MessageAnswer answer;
        std::vector<std::string> asked;
        const char* lastCell;  // the account check of the last row
    };
    const auto Y = MessageAnswer::Yes, N = MessageAnswer::No;
    // clang-format off
    const Row rows[] = {
        {{valid, unchecked}, false, Y, {}, "not checked"},
        {{valid, unchecked, invalid}, false, Y, {fails + anyway}, "invalid"},
        {{valid, unchecked, invalid}, false, N, {fails + anyway}, "invalid"},
        {{valid, unchecked, again}, false, Y, {repeats + anyway}, "valid, repeats 1"},
        {{valid, unchecked, again}, false, N, {repeats + anyway}, "valid, repeats 1"},
        {{valid, invalid, again}, false, Y, {fails + std::string(" and ") + repeats + anyway}, "valid, repeats 1"},
        {{valid, invalid, again}, false, N, {fails + std::string(" and ") + repeats + anyway}, "valid, repeats 1"},
        {{valid, unchecked}, true, Y, {closed}, "not checked"},
        {{valid, unchecked}, true, N, {closed}, "not checked"},
        // Both questions, in turn; No to the second still keeps the dialog.
        {{valid, invalid}, true, Y, {closed, fails + anyway}, "invalid"},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const Row& row = rows[i];
        batch_ = MakeComObject<CHostPayments>(log_, row.payees);
        // Yes to every question but the last, which gets the row's answer;
        // after No, Cancel asks about the changed date.
        std::vector<MessageAnswer> answers(row.asked.size(), Y);
        if (!answers.empty()) answers.back() = row.answer;
        if (row.answer == N && row.closedDate) answers.push_back(Y);
        MessageBoxScript boxes(answers);
        CPaymentOptionsDialog dialog(batch_.Get(), "", "", 0);
        HWND shown = nullptr;
        const INT_PTR result = Run(dialog, [&](HWND window) {
            shown = window;
            EXPECT_EQ(row.lastCell, Cell(window, static_cast<int>(row.payees.size()) - 1, 7));
            if (row.closedDate) PickDate(window, 2028, 1, 3);
            Click(window, IDOK);
            // After No the dialog is still there: the user gives up.
            if (row.answer == N) Click(window, IDCANCEL);
        });
        EXPECT_TRUE(boxes.Verify());
        EXPECT_EQ(row.answer == Y ? IDOK : IDCANCEL, result);
        ASSERT_LE(row.asked.size(), boxes.Met().size());
        for (std::size_t b = 0; b < row.asked.size(); ++b) {
            EXPECT_EQ(row.asked[b], boxes.Met()[b].text);
            EXPECT_EQ("Torvo Kelmar Bank Paylode", boxes.Met()[b].caption);
            EXPECT_EQ(MessageIcon::Warning, boxes.Met()[b].icon);
            EXPECT_EQ(shown, boxes.Met()[b].owner);
        }
        // The checks never touch a payment's status.
        EXPECT_EQ(std::vector<long>(row.payees.size(), 0), Statuses());
    }
}

// ---- IAT marks ---------------------------------------------------------------

TEST_F(PaymentOptionsDialogTest, SetMarksTheSelectedRowsAndCancelClearsThemAfterAsking) {
    MessageBoxScript boxes({MessageAnswer::No, MessageAnswer::Yes});
    CPaymentOptionsDialog dialog(batch_.Get(), "", "", 0);
    const INT_PTR result = Run(dialog, [&](HWND window) {
        Click(window, IDC_SET);  // disabled until the box is ticked: nothing happens
        Click(window, IDC_IAT_CHECK);
        EXPECT_TRUE(Enabled(window, IDC_IAT_LIST));
        EXPECT_TRUE(Enabled(window, IDC_SET));
        SelectRows(window, {1, 3});
        Click(window, IDC_SET);
        EXPECT_EQ("Yes", Cell(window, 1, 6));
        EXPECT_EQ("Yes", Cell(window, 3, 6));
        EXPECT_EQ("No", Cell(window, 2, 6));
        EXPECT_EQ(0, SendDlgItemMessageA(window, IDC_IAT_LIST, LVM_GETSELECTEDCOUNT, 0, 0));
        EXPECT_EQ((std::vector<long>{0, 1, 0, 1}), Statuses());
        // Clearing the box or choosing a bulk format keeps the marks.
        Click(window, IDC_IAT_CHECK);
        EXPECT_FALSE(Enabled(window, IDC_IAT_LIST));
        Click(window, IDC_FORMAT_BULK_LIST);
        EXPECT_FALSE(Enabled(window, IDC_IAT_CHECK));
        EXPECT_EQ("Yes", Cell(window, 1, 6));
        Click(window, IDCANCEL);               // asked, and No: the dialog stays
        PostMessageA(window, WM_CLOSE, 0, 0);  // the close box: asked again, and Yes
    });
    EXPECT_TRUE(boxes.Verify());
    EXPECT_EQ(IDCANCEL, result);
    ASSERT_EQ(2u, boxes.Met().size());
    EXPECT_EQ("Do you wish to ignore these changes?", boxes.Met()[0].text);
    EXPECT_EQ(MessageIcon::Question, boxes.Met()[0].icon);
    EXPECT_EQ(std::vector<long>(4, 0), Statuses());
}

TEST_F(PaymentOptionsDialogTest, ResetAndOkLeaveTheMarksOnThePayments) {
    batch_->Payment(0).SetStatus(1);
    batch_->Payment(2).SetStatus(1);
    MessageBoxScript boxes({});
    CPaymentOptionsDialog dialog(batch_.Get(), "", "", 0);
    const INT_PTR result = Run(dialog, [&](HWND window) {
        Click(window, IDC_IAT_CHECK);
        SelectRows(window, {0});
        Click(window, IDC_RESET);
        EXPECT_EQ("No", Cell(window, 0, 6));
        Click(window, IDOK);
    });
    EXPECT_TRUE(boxes.Verify());
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((std::vector<long>{0, 0, 1, 0}), Statuses());
}

TEST_F(PaymentOptionsDialogTest, EscapeWithoutChangesClosesAndClearsEveryMark) {
    batch_->Payment(1).SetStatus(1);
    MessageBoxScript boxes({});
    CPaymentOptionsDialog dialog(batch_.Get(), "", "", 0);
    const INT_PTR result = Run(dialog, [&](HWND window) {
        Click(window, IDC_IAT_CHECK);
        Click(window, IDC_SET);  // no row selected: no change
        PressKey(window, VK_ESCAPE);
    });
    EXPECT_TRUE(boxes.Verify());
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(std::vector<long>(4, 0), Statuses());
}

TEST_F(PaymentOptionsDialogTest, RowsAnswerToTheirOwnPaymentWhenTheBatchWithholdsOne) {
    batch_->Withhold(1);
    MessageBoxScript boxes({});
    CPaymentOptionsDialog dialog(batch_.Get(), "", "", 0);
    Run(dialog, [&](HWND window) {
        ASSERT_EQ(3, RowCount(window));
        EXPECT_EQ("Supplier 2", Cell(window, 1, 2));
        Click(window, IDC_IAT_CHECK);
        SelectRows(window, {1});
        Click(window, IDC_SET);
        Click(window, IDOK);
    });
    EXPECT_TRUE(boxes.Verify());
    EXPECT_EQ((std::vector<long>{0, 0, 1, 0}), Statuses());
    EXPECT_EQ(0u, log_->Texts("payment[1]").size());
}

TEST_F(PaymentOptionsDialogTest, FourThousandPaymentsEachReadOncePerFill) {
    MakeBatch(4000);
    MessageBoxScript boxes({});
    CPaymentOptionsDialog dialog(batch_.Get(), "", "", 0);
    Run(dialog, [&](HWND window) {
        EXPECT_EQ(4000, RowCount(window));
        EXPECT_EQ("Supplier 3999", Cell(window, 3999, 2));
        Click(window, IDC_IAT_CHECK);
        SelectRows(window, {0, 3999});
        log_->Clear();
        Click(window, IDC_SET);
        EXPECT_EQ("Yes", Cell(window, 3999, 6));
        Click(window, IDOK);
    });
    EXPECT_TRUE(boxes.Verify());
    // Set: two fetches to mark, then one fill: each payment fetched and its
    // status read once.
    std::size_t fetches = 0, statusReads = 0;
    for (const std::string& call : log_->Texts()) {
        fetches += call.rfind("payments.GetItem(", 0) == 0;
        statusReads += call.find(".GetStatus(") != std::string::npos;
    }
    EXPECT_EQ(4002u, fetches);
    EXPECT_EQ(4000u, statusReads);
    EXPECT_EQ(1, batch_->Payment(3999).Data().status);
}

}  // namespace
}  // namespace paylode
