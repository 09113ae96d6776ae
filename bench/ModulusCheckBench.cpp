// The UK modulus checks of a batch: loading the published tables, and
// checking 4000 payee accounts (the most one payment file holds) with them,
// and the payee checks of a 4000-payment batch (accounts and repeats). The
// goal is under 5 ms for each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "payments/ModulusCheck.h"
#include "payments/PayeeChecks.h"

namespace {

const char* const kTables = PAYLODE_MODULUS_TABLES_DIR;

// 4000 accounts across checked and unchecked sort codes, most of them valid.
std::vector<std::pair<std::string, std::string>> Accounts() {
    const char* const sortCodes[] = {"089999", "107999", "202959", "871427", "938600", "180002", "999999", "123456"};
    std::vector<std::pair<std::string, std::string>> accounts;
    for (int i = 0; i < 4000; ++i) {
        char account[16];
        std::snprintf(account, sizeof account, "%08d", 10000000 + i * 7919 % 90000000);
        accounts.emplace_back(sortCodes[i % 8], account);
    }
    return accounts;
}

void LoadTables(benchmark::State& state) {
    for (auto _ : state) {
        std::string error;
        auto tables = paylode::CModulusTables::Load(kTables, &error);
        if (!tables) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(tables);
    }
}
BENCHMARK(LoadTables)->Unit(benchmark::kMillisecond);

// The tables, or nothing and the benchmark skipped with the reason.
std::optional<paylode::CModulusTables> TablesOrSkip(benchmark::State& state) {
    std::string error;
    auto tables = paylode::CModulusTables::Load(kTables, &error);
    if (!tables) state.SkipWithError(error.c_str());
    return tables;
}

void Check4000Accounts(benchmark::State& state) {
    const auto tables = TablesOrSkip(state);
    if (!tables) return;
    const auto accounts = Accounts();
    for (auto _ : state) {
        int valid = 0;
        for (const auto& [sortCode, account] : accounts) {
            valid += tables->Check(sortCode, account).result == paylode::AccountCheckResult::Valid;
        }
        benchmark::DoNotOptimize(valid);
    }
}
BENCHMARK(Check4000Accounts)->Unit(benchmark::kMillisecond);

// What the payment options dialog does on each fill of its list: every
// payee's account checked and every payment looked up among the earlier
// ones, one in ten a repeat.
void CheckPayeesOf4000Payments(benchmark::State& state) {
    const auto tables = TablesOrSkip(state);
    if (!tables) return;
    const auto accounts = Accounts();
    for (auto _ : state) {
        paylode::CPayeeChecker payees(&*tables);
        for (std::size_t i = 0; i < accounts.size(); ++i) {
            const std::size_t payee = i % 10 == 9 ? i - 9 : i;
            payees.Check(static_cast<long>(i), accounts[payee].first, accounts[payee].second,
                         12.5 + static_cast<double>(payee), "INV" + std::to_string(payee));
        }
        benchmark::DoNotOptimize(payees.Repeats());
    }
}
BENCHMARK(CheckPayeesOf4000Payments)->Unit(benchmark::kMillisecond);

void LoadAndCheck4000Accounts(benchmark::State& state) {
    const auto accounts = Accounts();
    for (auto _ : state) {
        std::string error;
        const auto tables = paylode::CModulusTables::Load(kTables, &error);
        int valid = 0;
        for (const auto& [sortCode, account] : accounts) {
            valid += tables->Check(sortCode, account).result == paylode::AccountCheckResult::Valid;
        }
        benchmark::DoNotOptimize(valid);
    }
}
BENCHMARK(LoadAndCheck4000Accounts)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
