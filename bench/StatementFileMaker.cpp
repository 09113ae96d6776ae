/*
 * Statement files for the benchmarks (see StatementFileMaker.h).
 */
#include "bench/StatementFileMaker.h"

#include <cstdio>
#include <memory>

namespace paylode::bench {
namespace {

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

const char* const kHeader14 =
    "Sort Code,Account Number,Account Alias,Account Short Name,Currency,Account Type,BIC,Bank Name,"
    "Branch Name,Date,Narrative #1,Type,Debit,Credit";
const char* const kHeader18 =
    "Sort Code,Account Number,Account Alias,Account Short Name,Currency,Account Type,BIC,Bank Name,"
    "Branch Name,Date,Narrative #1,Narrative #2,Narrative #3,Narrative #4,Narrative #5,Type,Debit,Credit";

struct Account {
    const char* sortCode;
    const char* number;
    const char* alias;
    const char* shortName;
    const char* branch;
};
// clang-format off
const Account kAccounts[] = {
    {"95-12-34", "12345678", "\"Main, trading\"", "J SMITH LTD", "\"High Street, Leeds\""},
    {"95-12-34", "87654321", "Payroll", "J SMITH LTD", "\"High Street, Leeds\""},
    {"90-11-22", "40302010", "\"Reserve, euro\"", "SMITH & SONS", "\"Dame Street, Dublin 2\""},
};
// clang-format on
const char* const kPayees[] = {"DIRECT DEBIT ELECTRICITY", "\"O'BRIEN & SONS, LTD\"", "CARD 4711 TESCO STORES",
                               "SALARY DECEMBER",          "\"TRANSFER, REF 20394\"", "STANDING ORDER RENT"};
const char* const kTypes[] = {"DD", "BGC", "POS", "CHQ", "TFR", "SO"};

}  // namespace

bool WriteStatementFile(const std::string& path, long lines, int fields, long linesADay) {
    std::unique_ptr<std::FILE, Closer> file{std::fopen(path.c_str(), "wb")};
    if (!file) return false;
    std::FILE* out = file.get();
    std::fprintf(out, "%s\r\n", fields == 18 ? kHeader18 : kHeader14);
    for (long i = 0; i < lines; ++i) {
        const Account& account = kAccounts[i % 3];
        // `linesADay` lines a day, the day written day first or year first.
        const long day = i / linesADay;
        const int d = static_cast<int>(day % 28) + 1, m = static_cast<int>(day / 28 % 12) + 1;
        const int y = 2006 + static_cast<int>(day / 336 % 20);
        char date[16];
        if (day % 2 == 0) {
            std::snprintf(date, sizeof date, "%02d/%02d/%04d", d, m, y);
        } else {
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
        }
        const int kind = static_cast<int>(i % 6);
        const long pence = (i * 7919) % 500000 + 1;
        char amount[32];
        if (pence >= 100000) {
            std::snprintf(amount, sizeof amount, "\"%ld,%03ld.%02ld\"", pence / 100000, pence / 100 % 1000,
                          pence % 100);
        } else {
            std::snprintf(amount, sizeof amount, "%ld.%02ld", pence / 100, pence % 100);
        }
        const bool debit = kind != 3 && kind != 1;
        std::fprintf(out, "%s,%s,%s,%s,%s,Current,KLMRGB2L,Kelmar Bank,%s,%s,", account.sortCode, account.number,
                     account.alias, account.shortName, kind == 2 ? "EUR" : "GBP", account.branch, date);
        if (kTypes[kind][0] == 'C') {
            std::fprintf(out, "%06ld,", 100000 + i % 900000);
        } else {
            std::fprintf(out, "%s,", kPayees[kind]);
        }
        if (fields == 18) std::fprintf(out, "REF %08ld,,\"LEEDS, GB\",%ld,", i, i % 97);
        std::fprintf(out, "%s,%s,%s\r\n", kTypes[kind], debit ? amount : "", debit ? "" : amount);
    }
    return std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace paylode::bench
