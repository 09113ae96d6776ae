/*
 * A payment journal for the benchmarks: a year of daily 1,600-payment runs
 * from one paying account (12-34-56 12345678), 400,000 lines, about 115 MB,
 * on 250 of the 365 days before `today`, the latest the day before.
 */
#pragma once

#include <string>

namespace paylode::bench {

constexpr int kJournalRuns = 250;
constexpr int kJournalRunPayments = 1600;

// The payee account that the journal's payee number `payee` (0 to 5999) is paid into.
std::string JournalPayeeAccount(int payee);

// The payee that run `run` (0 to kJournalRuns - 1) pays in its row `row` (from 1).
int JournalPayee(int run, int row);

// The journal's bytes, as the runs appended them.
std::string JournalOfAYear(double today);

}  // namespace paylode::bench
