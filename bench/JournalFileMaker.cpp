#include "bench/JournalFileMaker.h"

#include <vector>

#include "common/OleDate.h"
#include "payments/Journal.h"

namespace paylode::bench {

std::string JournalPayeeAccount(int payee) { return std::to_string(10000000 + payee); }

int JournalPayee(int run, int row) { return (run * 37 + row - 1) % 6000; }

std::string JournalOfAYear(double today) {
    std::string bytes;
    for (int run = 0; run < kJournalRuns; ++run) {
        const double day = today - 1 - (kJournalRuns - 1 - run) * 365 / kJournalRuns;
        JournalRun journalRun;
        FieldsFromOleDate(day + 0.4, &journalRun.exported);
        journalRun.run = JournalRunId(journalRun.exported, "PAYROLL-PC", 0x1f4c, run);
        journalRun.user = "clerk";
        journalRun.machine = "PAYROLL-PC";
        journalRun.payerSortCode = "12-34-56";
        journalRun.payerAccountNumber = "12345678";
        journalRun.processingDate = day + 2;
        journalRun.currency = "GBP";
        journalRun.paymentFile = "\\\\server\\payments\\Paylode\\payments-" + std::to_string(run) + ".txt";
        journalRun.paymentFileSha256 = std::string(64, 'c');
        std::vector<JournalPayment> payments;
        for (int row = 1; row <= kJournalRunPayments; ++row) {
            const int payee = JournalPayee(run, row);
            payments.push_back({row, "SUPPLIER NUMBER " + std::to_string(payee), "20-00-00", JournalPayeeAccount(payee),
                                100 + payee % 500 + 0.25, "INV" + std::to_string(payee),
                                "INV" + std::to_string(payee)});
        }
        bytes += JournalAppendText(bytes, journalRun, payments);
    }
    return bytes;
}

}  // namespace paylode::bench
