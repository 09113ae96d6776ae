/*
 * make_statement_file PATH LINES FIELDS [LINES_A_DAY]: a generated statement
 * file, for the end-to-end measurements of `paylode statement` in
 * scripts/bench.sh. LINES_A_DAY (default 400) lines share each date; 1 gives
 * a new date on every line.
 */
#include <cstdio>
#include <cstdlib>

#include "bench/StatementFileMaker.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: make_statement_file PATH LINES FIELDS(14|18) [LINES_A_DAY]\n");
        return 2;
    }
    const long lines = std::atol(argv[2]);
    const int fields = std::atoi(argv[3]);
    const long linesADay = argc == 5 ? std::atol(argv[4]) : paylode::bench::kLinesADay;
    if (lines < 0 || (fields != 14 && fields != 18) || linesADay < 1) {
        std::fprintf(stderr, "make_statement_file: LINES must be >= 0, FIELDS 14 or 18 and LINES_A_DAY >= 1\n");
        return 2;
    }
    if (!paylode::bench::WriteStatementFile(argv[1], lines, fields, linesADay)) {
        std::fprintf(stderr, "make_statement_file: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
