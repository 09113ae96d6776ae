// The options dialog's look-up of a 4000-payment batch among the payment
// journal's earlier exports: a year of daily 1,600-payment runs from the
// same paying account, 400,000 lines (about 115 MB), one in ten of the
// batch's payments exported before. The goal is at most 150 ms. The window
// of 30 days is the dialog's case; the window of a whole year, where every
// line is taken apart, is the worst.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/JournalFileMaker.h"
#include "common/OleDate.h"
#include "payments/Journal.h"
#include "payments/JournalLookup.h"

namespace {

constexpr int kBatchPayments = 4000;

const double kToday = paylode::OleDateOfDay(2026, 12, 8);

const std::string& Journal() {
    static const std::string journal = paylode::bench::JournalOfAYear(kToday);
    return journal;
}

// 4000 payments; every tenth one as the latest run paid it.
std::vector<paylode::PaymentToLookUp> Batch() {
    std::vector<paylode::PaymentToLookUp> batch;
    for (int i = 0; i < kBatchPayments; ++i) {
        const int payee =
            i % 10 == 0 ? paylode::bench::JournalPayee(paylode::bench::kJournalRuns - 1, i + 1) : 6000 + i;
        batch.push_back({"200000", paylode::bench::JournalPayeeAccount(payee), 100 + payee % 500 + 0.25,
                         "INV" + std::to_string(payee)});
    }
    return batch;
}

void LookUp4000PaymentsIn400000Lines(benchmark::State& state) {
    const std::string& journal = Journal();
    const auto batch = Batch();
    paylode::ExportedBeforeWindow window;
    window.payerSortCode = "12-34-56";
    window.payerAccountNumber = "12345678";
    window.today = kToday + 0.5;
    window.windowDays = static_cast<int>(state.range(0));
    long found = 0;
    for (auto _ : state) {
        paylode::CExportedBefore lookup(window, batch);
        lookup.ScanJournal(journal);
        found = lookup.Count();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
    state.counters["MB"] = static_cast<double>(journal.size()) / 1e6;
}
BENCHMARK(LookUp4000PaymentsIn400000Lines)->ArgName("window_days")->Arg(30)->Arg(365)->Unit(benchmark::kMillisecond);

// The same, the journal handed over in parts of 1 MiB, as a file read a
// block at a time is.
void LookUp4000PaymentsIn1MiBParts(benchmark::State& state) {
    const std::string& journal = Journal();
    const auto batch = Batch();
    paylode::ExportedBeforeWindow window;
    window.payerSortCode = "12-34-56";
    window.payerAccountNumber = "12345678";
    window.today = kToday + 0.5;
    window.windowDays = static_cast<int>(state.range(0));
    constexpr std::size_t kPart = std::size_t{1} << 20;
    long found = 0;
    for (auto _ : state) {
        paylode::CExportedBefore lookup(window, batch);
        lookup.BeginJournal();
        for (std::size_t at = 0; at < journal.size(); at += kPart) {
            lookup.ScanJournalPart(std::string_view(journal).substr(at, kPart));
        }
        lookup.EndJournal();
        found = lookup.Count();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(LookUp4000PaymentsIn1MiBParts)->ArgName("window_days")->Arg(30)->Arg(365)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
