/*
 * make_journal_file PATH YYYY-MM-DD: the benchmarks' year of payment journal
 * (bench/JournalFileMaker.h) before that day, written to PATH, for the
 * end-to-end measurement of a payment run in scripts/bench-wine.sh.
 */
#include <cstdio>
#include <string>

#include "bench/JournalFileMaker.h"
#include "common/OleDate.h"

int main(int argc, char** argv) {
    int year = 0, month = 0, day = 0;
    char rest = 0;
    if (argc != 3 || std::sscanf(argv[2], "%4d-%2d-%2d%c", &year, &month, &day, &rest) != 3) {
        std::fprintf(stderr, "usage: make_journal_file PATH YYYY-MM-DD\n");
        return 2;
    }
    const std::string journal = paylode::bench::JournalOfAYear(paylode::OleDateOfDay(year, month, day));
    std::FILE* file = std::fopen(argv[1], "wb");
    const bool written = file != nullptr && std::fwrite(journal.data(), 1, journal.size(), file) == journal.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "make_journal_file: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
