/*
 * The payment file's record writers on a batch of 4000 payments (the most a
 * payment file holds), in each of the four formats, against one fwrite of the
 * same bytes: the payment run's own file steps (a new file created beside
 * the chosen one, the header from the first payment, one record a payment,
 * the file put on the disk and moved over the chosen one). The same steps
 * written straight into the chosen file, with neither sync nor move, give
 * the price of the durable step.
 *
 *   bench_payment_writer [Google Benchmark flags]
 */
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/FileSystem.h"
#include "payments/PaymentBatchView.h"
#include "payments/PaymentFile.h"
#include "payments/PaymentRecords.h"

namespace {

using namespace paylode;

constexpr int kPayments = 4000;
constexpr double kProcessingDate = 45356;  // 5 March 2024

std::string OutputPath() { return (std::filesystem::temp_directory_path() / "paylode-bench-payments.txt").string(); }

// Payments as a host hands them over: mostly valid, some with the faults the
// writers check for, one in ten an inter-account transfer.
std::vector<CPaymentValues> MakeBatch() {
    static const char* const kNames[] = {"O'Brien & Sons, Ltd.",
                                         "Smith Joinery",
                                         "Caf\xE9 L\xF3\x64z",  // "Café Lódz" in Windows-1252
                                         "A N Other",
                                         "Northern Power plc",
                                         "J. Bloggs / Partners"};
    std::vector<CPaymentValues> batch(kPayments);
    for (int i = 0; i < kPayments; ++i) {
        CPaymentValues& payment = batch[static_cast<std::size_t>(i)];
        char text[64];
        payment.amount = (i % 50 == 7) ? 0.0 : 10.0 + (i * 37 % 100000) / 100.0;
        payment.payerSortCode = "12-34-56";
        payment.payerAccountNumber = "12345678";
        std::snprintf(text, sizeof text, "INV %d", i);
        payment.payeeBACSReference = text;
        std::snprintf(text, sizeof text, "%02d-%02d-%02d", i % 100, i / 100 % 100, 42);
        payment.payeeSortCode = text;
        std::snprintf(text, sizeof text, i % 40 == 3 ? "%07d" : "%08d", 10000000 + i * 13 % 90000000);
        payment.payeeAccountNumber = text;
        payment.payeeAccountName = kNames[i % 6];
        if (i % 5 == 0) {
            std::snprintf(text, sizeof text, "ROLL/%d", i);
            payment.payeeRollNumber = text;
        }
        payment.status = i % 10 == 0 ? 1 : 0;  // the IAT mark
    }
    return batch;
}

// The choices of the options dialog for the format numbered `format`, the
// benchmark's argument.
PaymentFileChoices ChoicesFor(long format) {
    PaymentFileChoices choices;
    choices.processingDate = kProcessingDate;
    PaymentFormatFromNumber(format, &choices.paymentFormat);
    choices.templateName = "STAFF PAY";
    choices.beneficiaryReference = choices.paymentFormat == PaymentFormat::BulkList ? "BEN/1" : "BEN REF";
    return choices;
}

// The payment file of `format` for the batch, written by the run's own steps.
bool WriteFile(const std::vector<CPaymentValues>& payments, long format, const std::string& path) {
    CPaymentBatchValues batch;
    batch.payments = payments;
    const PaymentFileResult result = WritePaymentFile(batch, batch.GetCount(), path, ChoicesFor(format));
    return result.end == PaymentFileEnd::Written;
}

// Each iteration starts from the host's batch: the writers change statuses.
void BM_RecordWriters(benchmark::State& state) {
    const PaymentFileChoices choices = ChoicesFor(static_cast<long>(state.range(0)));
    CPaymentBatchValues original;
    original.payments = MakeBatch();
    CPaymentBatchValues batch;
    const std::string path = OutputPath();
    for (auto _ : state) {
        state.PauseTiming();
        batch.payments = original.payments;
        state.ResumeTiming();
        if (WritePaymentFile(batch, batch.GetCount(), path, choices).end != PaymentFileEnd::Written) {
            state.SkipWithError("the payment file could not be written");
        }
    }
    const std::uintmax_t size = std::filesystem::file_size(path);
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["payments/s"] = benchmark::Counter(kPayments, benchmark::Counter::kIsIterationInvariantRate);
}

// Files written straight into the chosen path through the C library, with
// no sync and no move: what the run's durable step is measured against.
class CInPlaceFileSystem : public IFileSystem {
public:
    bool CanOpenForReading(const std::string&) override { return false; }
    bool IsDevice(const std::string&) override { return false; }
    std::unique_ptr<IOutputFile> CreateReplacement(const std::string& path) override {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        return file != nullptr ? std::make_unique<CFile>(file) : nullptr;
    }

private:
    class CFile : public IOutputFile {
    public:
        explicit CFile(std::FILE* file) : file_(file) {}
        ~CFile() override {
            if (file_ != nullptr) std::fclose(file_);
        }
        CFile(const CFile&) = delete;
        CFile& operator=(const CFile&) = delete;
        bool Write(const char* data, std::size_t size) override { return std::fwrite(data, 1, size, file_) == size; }
        bool Commit() override { return std::fclose(std::exchange(file_, nullptr)) == 0; }

    private:
        std::FILE* file_;
    };
};

void BM_RecordWritersInPlace(benchmark::State& state) {
    CInPlaceFileSystem files;
    ScopedFileSystem scope(files);
    BM_RecordWriters(state);
}

// The floor: the same bytes in one fwrite, between the same creation and
// closing of the file.
void BM_Fwrite(benchmark::State& state) {
    const std::string path = OutputPath();
    if (!WriteFile(MakeBatch(), static_cast<long>(state.range(0)), path)) {
        state.SkipWithError("the payment file could not be written");
        return;
    }
    std::ifstream written(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) {
            state.SkipWithError("the file could not be created");
            break;
        }
        std::fwrite(text.data(), 1, text.size(), file);
        if (std::fclose(file) != 0) state.SkipWithError("the file could not be written");
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["payments/s"] = benchmark::Counter(kPayments, benchmark::Counter::kIsIterationInvariantRate);
}

void Formats(benchmark::internal::Benchmark* bench) {
    bench->ArgName("format")->DenseRange(0, 3)->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(0.5);
}

BENCHMARK(BM_Fwrite)->Apply(Formats);
BENCHMARK(BM_RecordWriters)->Apply(Formats);
BENCHMARK(BM_RecordWritersInPlace)->Apply(Formats);

}  // namespace

BENCHMARK_MAIN();
