// Two statement imports at once on two threads, as two host user-interface
// threads in two apartments may run them: a short-layout file and a
// long-layout file, each with an empty line that stops the reading and two
// readable lines lost behind it. Round after round, each import must get
// exactly its own file's transactions and its own report of lost lines. The
// `tsan` preset also runs this file alone under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/DebugOutput.h"
#include "statements/StatementImport.h"

namespace paylode {
namespace {

constexpr int kRounds = 60;

// A statement of 120 lines for `account` ("111111,11111111") and every third
// for another, in the short layout (debits) or the long one (credits); then
// the stop. The long file has one more line before them, so that the two
// stop at different lines. `expected` gets what the import must hand over.
std::string Statement(bool isLong, const std::string& account, std::vector<std::string>* expected) {
    std::string text = isLong ? "F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,F13,F14,F15,F16,F17,F18\n"
                                "999999,99999999,A,S,EUR,C,BIC,Bank,Branch,2006-02-01,X,,,,,BGC,,9\n"
                              : "F1,F2,F3,F4,F5,F6,F7,F8,F9,F10,F11,F12,F13,F14\r\n";
    const std::string end = isLong ? "\n" : "\r\n";
    auto line = [&](const std::string& who, const std::string& narrative, const std::string& amount) {
        return who + ",A,S,GBP,C,BIC,Bank,Branch,01/02/2006," + narrative +
               (isLong ? ",N2,,,N5,BGC,," + amount : ",DD," + amount + ",") + end;
    };
    for (int index = 0; index < 120; ++index) {
        const bool ours = index % 3 != 2;
        const std::string narrative = "Line " + std::to_string(index);
        const std::string amount = std::to_string(index + 1) + (isLong ? ".50" : ".25");
        text += line(ours ? account : "222222,22222222", narrative, amount);
        if (ours) {
            expected->push_back(std::to_string(expected->size() + 1) + (isLong ? "|1|" : "|0|") + amount + "|" +
                                narrative + (isLong ? " N2 N5" : ""));
        }
    }
    return text + end + line(account, "Lost", "1") + line(account, "Lost", "2");
}

std::vector<std::vector<std::string>> ImportRounds(const std::string& path, const char* sortCode,
                                                   const char* accountNumber, std::atomic<int>& ready) {
    ready.fetch_add(1);
    while (ready.load() < 2) std::this_thread::yield();  // both start together
    StatementAccount account;
    account.SetSortCode(sortCode);
    account.SetAccountNumber(accountNumber);
    std::vector<std::vector<std::string>> rounds(kRounds);
    for (std::vector<std::string>& got : rounds) {
        CQVTTransactionFile reader(path.c_str(), std::ios_base::in | std::ios_base::binary);
        if (!reader.BuildColumnMap()) continue;
        ImportStatementRecords(reader, account, [&got](const StatementTransaction& transaction) {
            char amount[32];
            std::snprintf(amount, sizeof amount, "%.2f", transaction.Amount);
            got.push_back(std::to_string(transaction.ID) + "|" + std::to_string(transaction.Type) + "|" + amount + "|" +
                          transaction.Description.GetString());
        });
    }
    return rounds;
}

TEST(ConcurrentImport, EachImportGetsItsOwnFileWhileAnotherRuns) {
    std::vector<std::string> expected[2];
    const auto stamp = std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string paths[2] = {(folder / ("paylode-threads-short-" + stamp)).string(),
                                  (folder / ("paylode-threads-long-" + stamp)).string()};
    std::ofstream(paths[0], std::ios_base::binary) << Statement(false, "111111,11111111", &expected[0]);
    std::ofstream(paths[1], std::ios_base::binary) << Statement(true, "333333,33333333", &expected[1]);

    // The debugger output of both imports, installed before they start.
    std::mutex outputLock;
    std::map<std::string, int> output;
    ScopedDebugOutputHandler capture([&](const char* text) {
        const std::lock_guard<std::mutex> hold(outputLock);
        ++output[text];
    });
    std::atomic<int> ready{0};
    std::vector<std::vector<std::string>> got[2];
    std::thread shortImport([&] { got[0] = ImportRounds(paths[0], "11-11-11", "11111111", ready); });
    std::thread longImport([&] { got[1] = ImportRounds(paths[1], "33-33-33", "33333333", ready); });
    shortImport.join();
    longImport.join();
    for (const std::string& path : paths) std::filesystem::remove(path);

    for (int file = 0; file < 2; ++file) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE("file " + std::to_string(file) + ", round " + std::to_string(round));
            EXPECT_EQ(expected[file], got[file][static_cast<std::size_t>(round)]);
        }
    }
    // Every round's stop and report reached the debugger output; none was
    // lost to the other thread.
    const std::map<std::string, int> reports = {
        {"Failed to read the Balance record\n", 2 * kRounds},
        {"Statement file: 2 readable lines after line 122 not read\n", kRounds},
        {"Statement file: 2 readable lines after line 123 not read\n", kRounds},
    };
    EXPECT_EQ(reports, output);
}

}  // namespace
}  // namespace paylode
