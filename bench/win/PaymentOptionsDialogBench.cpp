/*
 * The payment options dialog under Wine, timed: the real dialog from the
 * DLL's resources over a reference host batch of N payments.
 *
 *   paylode_bench_payment_options_dialog [PAYMENTS...]     (default 4000 400 40)
 *
 * For each size, the median of five runs of:
 *   open       from the call that shows the dialog to the end of its first
 *              paint, list included;
 *   host       the host calls of one fill alone: every payment fetched and
 *              its seven values read into the list's rows, with no window;
 *   list       the list's own work for one fill: emptied, given the row
 *              count and painted again, with no host call;
 *   set 100    Set on 100 selected rows: the 100 marks stored on the
 *              payments, the rows read again from the host and the list
 *              painted again;
 *   calls      host calls made by one Set on 100 rows.
 *
 * This is a benchmark, not a test: it reports and never fails on a figure.
 */
#include "common/win/Platform.h"

#include <commctrl.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "combase/ComPointers.h"
#include "combase/Module.h"
#include "payments/PaymentOptionsModel.h"
#include "payments/win/HostBatchView.h"
#include "payments/win/PaymentOptionsDialog.h"
#include "referencehost/DialogDrivers.h"
#include "referencehost/HostPayments.h"
#include "resources/resource.h"

using Microsoft::WRL::ComPtr;
using namespace paylode;
using namespace paylode::referencehost;

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<PaymentData> Payments(long count) {
    std::vector<PaymentData> payments(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        PaymentData& data = payments[static_cast<std::size_t>(i)];
        data.payeeSortCode = L"20-00-" + std::to_wstring(10 + i % 90);
        data.payeeAccountNumber = std::to_wstring(10000000 + i);
        data.payeeAccountName = L"Supplier Number " + std::to_wstring(i);
        data.payeeBACSReference = L"INV" + std::to_wstring(500000 + i);
        data.details = L"Invoice " + std::to_wstring(500000 + i) + L" for goods delivered";
        data.amount = 100.0 + i * 0.37;
    }
    return payments;
}

struct Figures {
    double open, host, list, set;
    std::size_t setCalls;
};

Figures Measure(long count) {
    auto log = std::make_shared<CHostCallLog>();
    log->CountOnly();
    ComPtr<CHostPayments> batch = MakeComObject<CHostPayments>(log, Payments(count));

    // The host calls of one fill, alone.
    CHostBatchView view(batch.Get());
    CPaymentOptionsModel model(view, "", "", 0);
    const Clock::time_point hostStart = Clock::now();
    model.FillList();
    const double host = Milliseconds(hostStart, Clock::now());

    Figures figures{0, host, 0, 0, 0};
    CPaymentOptionsDialog dialog(batch.Get(), "", "", 0);
    Clock::time_point opened;
    // Met once it is up and painted; closed again when measured.
    CPaymentOptionsDriver driver([&](HWND window) {
        opened = Clock::now();
        const HWND list = GetDlgItem(window, IDC_IAT_LIST);
        const LRESULT rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);

        // The list's own work for one fill.
        const Clock::time_point listStart = Clock::now();
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        SendMessageA(list, LVM_SETITEMCOUNT, rows, 0);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        figures.list = Milliseconds(listStart, Clock::now());

        // Set on 100 rows spread over the list.
        Click(window, IDC_IAT_CHECK);
        const long selected = std::min<long>(100, static_cast<long>(rows));
        std::vector<int> spread;
        for (long i = 0; i < selected; ++i) spread.push_back(static_cast<int>(i * rows / selected));
        SelectRows(window, IDC_IAT_LIST, spread);
        const std::size_t callsBefore = log->CallCount();
        const Clock::time_point setStart = Clock::now();
        Click(window, IDC_SET);
        RedrawWindow(list, nullptr, nullptr, RDW_UPDATENOW);
        figures.set = Milliseconds(setStart, Clock::now());
        figures.setCalls = log->CallCount() - callsBefore;
        // Ended at once: the model's Cancel is not asked, and each run has a batch of its own.
        EndDialog(window, IDCANCEL);
    });
    const Clock::time_point start = Clock::now();
    dialog.DoModal(nullptr);
    figures.open = Milliseconds(start, opened);
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::strtol(argv[i], nullptr, 10));
    if (sizes.empty()) sizes = {4000, 400, 40};

    // The dialog, its icon and strings come from the DLL's resources.
    const HMODULE dll = LoadLibraryA("TorvoKelmarBankPaylode.DLL");
    if (dll == nullptr) {
        std::fprintf(stderr, "cannot load TorvoKelmarBankPaylode.DLL\n");
        return 1;
    }
    CModule::Attach(dll);

    std::printf("%9s %10s %10s %10s %12s %10s\n", "payments", "open ms", "host ms", "list ms", "set 100 ms", "calls");
    for (long count : sizes) {
        std::vector<double> open, host, list, set;
        std::size_t calls = 0;
        for (int run = 0; run < 5; ++run) {
            const Figures figures = Measure(count);
            open.push_back(figures.open);
            host.push_back(figures.host);
            list.push_back(figures.list);
            set.push_back(figures.set);
            calls = figures.setCalls;
        }
        std::printf("%9ld %10.1f %10.1f %10.1f %12.1f %10zu\n", count, Median(open), Median(host), Median(list),
                    Median(set), calls);
        std::fflush(stdout);
    }
    return 0;
}
