/*
 * Pictures of the payment options dialog for the documentation: the real
 * dialog from the DLL's resources over a reference host batch of a dozen
 * supplier payments (one to an account that fails its check, one entered
 * twice), put into each state and captured as it is drawn.
 *
 *   paylode_dialog_screenshots OUTPUT_FOLDER
 *
 * Writes one 24-bit BMP per picture (format0 to format3, ireland, iat,
 * account-check: the list scrolled to its account checks, and the question
 * OK asks over the dialog, and exported-before: the same with three of the
 * payments in the payment journal as exported two days ago);
 * scripts/screenshots.sh turns them into the PNG files in docs/.
 */
#include "common/win/Platform.h"

#include <commctrl.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>
#include <vector>

#include "combase/ComPointers.h"
#include "combase/Module.h"
#include "common/OleDate.h"
#include "common/TextConversion.h"
#include "payments/BankingCalendar.h"
#include "payments/Journal.h"
#include "payments/JournalLookup.h"
#include "payments/win/PaymentOptionsDialog.h"
#include "referencehost/DialogDrivers.h"
#include "referencehost/HostPayments.h"
#include "referencehost/MessageBoxWindows.h"
#include "referencehost/WindowPicture.h"
#include "resources/resource.h"

using Microsoft::WRL::ComPtr;
using namespace paylode;
using namespace paylode::referencehost;

namespace {

struct Picture {
    const char* name;
    int formatButton;
    bool ireland;
    std::vector<int> iatRows;  // rows marked as IATs with Set
    bool question;             // OK pressed: the picture shows its question
    bool journal;              // three payments exported two days ago
};

// The paying account of the pictures' journal.
constexpr char kPayerSortCode[] = "12-34-56";
constexpr char kPayerAccount[] = "12345678";

// The question on OK, met by a timer inside its own modal loop: the picture
// is of the dialog and the box over it; then No returns to the dialog.
struct QuestionPicture {
    HWND dialog = nullptr;
    std::string path;
    bool captured = false;
};
QuestionPicture g_question;

void CALLBACK TakeQuestionPicture(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    ForEachThreadWindow([&](HWND window) {
        if (IsMessageBoxWindow(window) && GetWindow(window, GW_OWNER) == dialog) box = window;
    });
    if (box == nullptr) return;
    KillTimer(dialog, timer);
    // Over the dialog's upper half, so that the list, its header and the
    // account checks are in the picture whole.
    RECT dialogArea{}, boxArea{};
    GetWindowRect(dialog, &dialogArea);
    GetWindowRect(box, &boxArea);
    SetWindowPos(box, nullptr, boxArea.left, dialogArea.top + 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND window : {dialog, box}) {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    RECT area{};
    GetWindowRect(box, &boxArea);
    UnionRect(&area, &dialogArea, &boxArea);
    g_question.captured = SaveScreenPicture(area, box, g_question.path);
    Press(box, IDNO);
}

std::vector<PaymentData> Payments() {
    const struct {
        const wchar_t *sortCode, *account, *name, *reference, *details;
        double amount;
    } rows[] = {
        {L"20-45-77", L"41234528", L"Abbott Office Supplies", L"INV10231", L"Paper and toner, March", 412.50},
        {L"30-91-12", L"00876500", L"Brennan Haulage Ltd", L"BH-2291", L"Deliveries week 9", 1280.00},
        // An account number that fails its sort code's check.
        {L"40-11-62", L"71220981", L"Castle Print & Design", L"CPD778", L"Brochures", 96.75},
        {L"60-02-44", L"33019800", L"Dunmore Electrical", L"DE/5521", L"Wiring, unit 4", 2315.40},
        {L"20-45-77", L"55510201", L"Evergreen Grounds", L"EG0042", L"Grounds maintenance", 180.00},
        {L"83-06-08", L"10293807", L"Fairview Catering", L"FC-9001", L"Staff lunch, 28 Feb", 264.30},
        // The same payment as the fifth, entered twice.
        {L"20-45-77", L"55510201", L"Evergreen Grounds", L"EG0042", L"Grounds maintenance", 180.00},
        {L"30-00-02", L"67812308", L"Glen Tool Hire", L"GTH455", L"Scaffold hire", 740.00},
        {L"40-47-84", L"90817228", L"Harbour Freight Co", L"HF1187", L"Import duty advance", 5120.99},
        {L"20-32-06", L"12121069", L"Ivy Cleaning Services", L"ICS-03", L"Office cleaning, March", 350.00},
        {L"60-83-71", L"44556607", L"Juniper Software", L"JS2026", L"Licences renewal", 1899.00},
        {L"30-65-41", L"98765432", L"Kestrel Couriers", L"KC7781", L"Same-day courier", 58.20},
    };
    std::vector<PaymentData> payments;
    for (const auto& row : rows) {
        PaymentData data;
        data.payeeSortCode = row.sortCode;
        data.payeeAccountNumber = row.account;
        data.payeeAccountName = row.name;
        data.payeeBACSReference = row.reference;
        data.details = row.details;
        data.amount = row.amount;
        payments.push_back(data);
    }
    return payments;
}

// A payment journal holding three of the batch's payments (rows 2, 4 and
// 9), exported from the pictures' paying account two days ago.
std::string JournalOfEarlierRun(const std::vector<PaymentData>& payments) {
    DateFields exported;
    FieldsFromOleDate(GetToday() - 2, &exported);
    exported.hour = 10;
    exported.minute = 15;
    JournalRun run;
    run.run = "PICTURES";
    run.exported = exported;
    run.user = "CLERK";
    run.machine = "ACCOUNTS1";
    run.payerSortCode = kPayerSortCode;
    run.payerAccountNumber = kPayerAccount;
    run.processingDate = GetToday() - 1;
    run.currency = "GBP";
    run.paymentFile = "C:\\Payments\\march.txt";
    std::vector<JournalPayment> lines;
    for (const long row : {2L, 4L, 9L}) {
        const PaymentData& data = payments[static_cast<std::size_t>(row - 1)];
        lines.push_back({row, AnsiFromWide(data.payeeAccountName.c_str()), AnsiFromWide(data.payeeSortCode.c_str()),
                         AnsiFromWide(data.payeeAccountNumber.c_str()), data.amount,
                         AnsiFromWide(data.payeeBACSReference.c_str()), AnsiFromWide(data.payeeBACSReference.c_str())});
    }
    return JournalAppendText("", run, lines);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: paylode_dialog_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const HMODULE dll = LoadLibraryA("TorvoKelmarBankPaylode.DLL");
    if (dll == nullptr) {
        std::fprintf(stderr, "cannot load TorvoKelmarBankPaylode.DLL\n");
        return 1;
    }
    CModule::Attach(dll);

    // clang-format off
    const Picture pictures[] = {
        {"format0", IDC_FORMAT_STANDARD, false, {}, false, false},
        {"format1", IDC_FORMAT_TEMPLATE, false, {}, false, false},
        {"format2", IDC_FORMAT_BULK_LIST, false, {}, false, false},
        {"format3", IDC_FORMAT_AD_HOC_BULK, false, {}, false, false},
        {"ireland", IDC_FORMAT_STANDARD, true, {}, false, false},
        {"iat", IDC_FORMAT_STANDARD, false, {1, 3, 7}, false, false},
        {"account-check", IDC_FORMAT_STANDARD, false, {}, true, false},
        {"exported-before", IDC_FORMAT_STANDARD, false, {}, true, true},
    };
    // clang-format on
    int status = 0;
    for (const Picture& picture : pictures) {
        auto log = std::make_shared<CHostCallLog>();
        log->CountOnly();
        ComPtr<CHostPayments> batch = MakeComObject<CHostPayments>(log, Payments());
        CPaymentOptionsDialog dialog(batch.Get(), "SUPPLIERS MARCH", "KELMAR/0326", 0);
        if (picture.journal) {
            const std::string journal = JournalOfEarlierRun(Payments());
            dialog.SetPaymentJournal({kPayerSortCode, kPayerAccount, GetToday(), 14},
                                     [journal](CExportedBefore& lookUp) {
                                         lookUp.ScanJournal(journal);
                                         return true;
                                     });
        }
        bool captured = false;
        CPaymentOptionsDriver driver([&](HWND window) {
            Click(window, picture.formatButton);
            if (picture.ireland) Click(window, IDC_IRELAND);
            if (!picture.iatRows.empty()) {
                Click(window, IDC_IAT_CHECK);
                SelectRows(window, IDC_IAT_LIST, picture.iatRows);
                Click(window, IDC_SET);
                // The user's next selection, to show how a selected row looks.
                LVITEMA state{};
                state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                state.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendDlgItemMessageA(window, IDC_IAT_LIST, LVM_SETITEMSTATE, 8, reinterpret_cast<LPARAM>(&state));
            }
            const std::string path = folder + "\\" + picture.name + ".bmp";
            if (picture.question) {
                ScrollToLastColumn(window, IDC_IAT_LIST);
                RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                g_question = {window, path, false};
                SetTimer(window, 1, 100, TakeQuestionPicture);
                Click(window, IDOK);
                captured = g_question.captured;
            } else {
                RedrawWindow(window, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
                captured = referencehost::SaveWindowPicture(window, path);
            }
            EndDialog(window, IDCANCEL);
        });
        dialog.DoModal(nullptr);
        if (!captured) {
            std::fprintf(stderr, "could not capture %s\n", picture.name);
            status = 1;
        }
    }
    return status;
}
