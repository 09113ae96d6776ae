/*
 * The statement reader against its peers on the same generated statement
 * files: a bare fgets loop (the floor: reading the lines and nothing else)
 * and fast-cpp-csv-parser splitting every line into its fields. The reader is
 * measured as the import and `paylode statement` in account mode use it: one
 * reading that checks the whole file and keeps the account's transactions,
 * then their delivery.
 *
 *   bench_statement_reader DATA_DIR [Google Benchmark flags]
 *
 * DATA_DIR receives the files (statement-<lines>-<fields>.csv, and
 * statement-<lines>-<fields>-daily.csv for the files whose date changes on
 * every line; made once and then reused). Every case reports MB/s
 * (bytes_per_second) and lines/s.
 */
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include <libfccp/csv.h>

#include "bench/StatementFileMaker.h"
#include "common/DebugOutput.h"
#include "statements/QVTTransactionFile.h"
#include "statements/StatementImport.h"

namespace {

using paylode::bench::WriteStatementFile;

std::string g_dataDir;

struct StatementFile {
    std::string path;
    long lines;
    std::uintmax_t bytes;
};

// The file of a case: its arguments are the lines, the fields and the lines
// a day (1: a new date on every line).
const StatementFile& FileOf(const benchmark::State& state) {
    const long lines = state.range(0);
    const int fields = static_cast<int>(state.range(1));
    const long linesADay = state.range(2);
    static std::map<std::tuple<long, int, long>, StatementFile> files;
    auto found = files.find({lines, fields, linesADay});
    if (found != files.end()) return found->second;
    const std::string path = g_dataDir + "/statement-" + std::to_string(lines) + "-" + std::to_string(fields) +
                             (linesADay == 1 ? "-daily" : "") + ".csv";
    if (!std::filesystem::exists(path) && !WriteStatementFile(path, lines, fields, linesADay)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return files[{lines, fields, linesADay}] = StatementFile{path, lines, std::filesystem::file_size(path)};
}

void Report(benchmark::State& state, const StatementFile& file) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.bytes));
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(file.lines + 1), benchmark::Counter::kIsIterationInvariantRate);
}

// The floor: every line read into a buffer, nothing done with it.
void BM_Fgets(benchmark::State& state) {
    const StatementFile& file = FileOf(state);
    for (auto _ : state) {
        std::FILE* in = std::fopen(file.path.c_str(), "rb");
        char line[4096];
        long lines = 0;
        while (std::fgets(line, sizeof line, in) != nullptr) ++lines;
        std::fclose(in);
        if (lines != file.lines + 1) state.SkipWithError("fgets: wrong line count");
        benchmark::DoNotOptimize(lines);
    }
    Report(state, file);
}

// fast-cpp-csv-parser: every line split into its fields, quotes removed.
template <unsigned Fields, class... Names>
long SplitWithFccp(const std::string& path, Names... names) {
    io::CSVReader<Fields, io::trim_chars<>, io::double_quote_escape<',', '"'>> in(path);
    in.read_header(io::ignore_no_column, names...);
    char* fields[Fields];
    long lines = 0;
    for (;;) {
        bool read;
        if constexpr (Fields == 14) {
            read = in.read_row(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7],
                               fields[8], fields[9], fields[10], fields[11], fields[12], fields[13]);
        } else {
            read = in.read_row(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7],
                               fields[8], fields[9], fields[10], fields[11], fields[12], fields[13], fields[14],
                               fields[15], fields[16], fields[17]);
        }
        if (!read) break;
        benchmark::DoNotOptimize(fields[Fields - 1]);
        ++lines;
    }
    return lines;
}

void BM_FastCsvParser(benchmark::State& state) {
    const StatementFile& file = FileOf(state);
    for (auto _ : state) {
        long lines;
        if (state.range(1) == 14) {
            lines = SplitWithFccp<14>(file.path, "Sort Code", "Account Number", "Account Alias", "Account Short Name",
                                      "Currency", "Account Type", "BIC", "Bank Name", "Branch Name", "Date",
                                      "Narrative #1", "Type", "Debit", "Credit");
        } else {
            lines = SplitWithFccp<18>(file.path, "Sort Code", "Account Number", "Account Alias", "Account Short Name",
                                      "Currency", "Account Type", "BIC", "Bank Name", "Branch Name", "Date",
                                      "Narrative #1", "Narrative #2", "Narrative #3", "Narrative #4", "Narrative #5",
                                      "Type", "Debit", "Credit");
        }
        if (lines != file.lines) state.SkipWithError("fast-cpp-csv-parser: wrong line count");
    }
    Report(state, file);
}

// The one reading of an account-mode `paylode statement` run: the whole file
// read and checked, the account's transactions kept as it goes, then
// delivered from there. The account has no line in the file.
void BM_StatementReader(benchmark::State& state) {
    const StatementFile& file = FileOf(state);
    const paylode::ScopedDebugOutputHandler quiet([](const char*) {});
    paylode::StatementAccount account;
    account.SetSortCode("99-99-99");
    account.SetAccountNumber("99999999");
    for (auto _ : state) {
        const paylode::CheckedStatement checked =
            paylode::CheckStatementFile(file.path.c_str(), paylode::CKeptTransactions::ForAccount(account));
        if (!checked.problem.empty() || !checked.kept.HoldsAll(account)) state.SkipWithError("reader: read twice");
        const paylode::StatementDelivery delivery = paylode::DeliverStatementTransactions(
            file.path.c_str(), checked, account, [](const paylode::StatementTransaction&, int) {});
        if (delivery.reading.records != file.lines || delivery.reading.transactions != 0) {
            state.SkipWithError("reader: wrong record count");
        }
        benchmark::DoNotOptimize(delivery.reading.records);
    }
    Report(state, file);
}

// The statement import's one reading: the account is asked of the host only
// once the file is known to be good, so every account's transactions are
// kept (up to the cap) while the file is read; then the host's account,
// which has no line in the file, gets its transactions from there.
void BM_StatementImport(benchmark::State& state) {
    const StatementFile& file = FileOf(state);
    const paylode::ScopedDebugOutputHandler quiet([](const char*) {});
    std::size_t kept = 0;
    for (auto _ : state) {
        const paylode::CheckedStatement checked =
            paylode::CheckStatementFile(file.path.c_str(), paylode::CKeptTransactions::ForEveryAccount());
        paylode::StatementAccount account;
        account.SetSortCode("99-99-99");
        account.SetAccountNumber("99999999");
        if (!checked.problem.empty() || !checked.kept.HoldsAll(account)) state.SkipWithError("import: read twice");
        const paylode::StatementDelivery delivery = paylode::DeliverStatementTransactions(
            file.path.c_str(), checked, account, [](const paylode::StatementTransaction&, int) {});
        if (delivery.reading.records != file.lines || delivery.reading.transactions != 0) {
            state.SkipWithError("import: wrong record count");
        }
        kept = checked.kept.BytesHeld();
    }
    Report(state, file);
    // What the reading still held at its end (never more than the cap).
    state.counters["kept_MiB"] = static_cast<double>(kept) / (1024.0 * 1024.0);
}

void Sizes(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"lines", "fields", "lines_a_day"});
    for (long lines : {100000L, 1000000L}) {
        for (int fields : {14, 18}) bench->Args({lines, fields, paylode::bench::kLinesADay});
    }
    // A new date on every line: the date is read afresh each time.
    bench->Args({1000000L, 14, 1});
    bench->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
}

BENCHMARK(BM_Fgets)->Apply(Sizes);
BENCHMARK(BM_FastCsvParser)->Apply(Sizes);
BENCHMARK(BM_StatementReader)->Apply(Sizes);
BENCHMARK(BM_StatementImport)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_statement_reader DATA_DIR [benchmark flags]\n");
        return 2;
    }
    g_dataDir = argv[1];
    std::filesystem::create_directories(g_dataDir);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
