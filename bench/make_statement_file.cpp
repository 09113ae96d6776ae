/*
 * make_statement_file PATH LINES FIELDS: a generated statement file, for the
 * end-to-end measurements of `paylode statement` in scripts/bench.sh.
 */
#include <cstdio>
#include <cstdlib>

#include "bench/StatementFileMaker.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_statement_file PATH LINES FIELDS(14|18)\n");
        return 2;
    }
    const long lines = std::atol(argv[2]);
    const int fields = std::atoi(argv[3]);
    if (lines < 0 || (fields != 14 && fields != 18)) {
        std::fprintf(stderr, "make_statement_file: LINES must be >= 0 and FIELDS 14 or 18\n");
        return 2;
    }
    if (!paylode::bench::WriteStatementFile(argv[1], lines, fields)) {
        std::fprintf(stderr, "make_statement_file: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
