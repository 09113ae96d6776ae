#!/usr/bin/env bash
# The benchmark command: installs what the benchmarks need, builds the
# `bench` preset (optimised, no sanitizers), runs the statement reader and
# the payment record writers beside their peers, measures the paylode tool
# end to end, and prints one table with every case's throughput and its
# ratio to the peer measured in the same run.
#   bash scripts/bench.sh
# The generated statement files (about 750 MB) stay in build/bench/data for
# the next run; the raw results are in build/bench/results.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$repo"

bash scripts/install-deps.sh cmake ninja-build pkg-config python3 clang googletest \
  libbenchmark-dev libfccp-dev libcli11-dev nlohmann-json3-dev libcsv-dev libutfcpp-dev

build=$repo/build/bench
data=$build/data
results=$build/results
echo "=== bench: build"
cmake --preset bench -S "$repo" >/dev/null
cmake --build --preset bench
mkdir -p "$data" "$results"

echo "=== bench: statement files"
for lines in 100000 1000000; do
  for fields in 14 18; do
    file=$data/statement-$lines-$fields.csv
    [ -s "$file" ] || "$build/bin/make_statement_file" "$file" "$lines" "$fields"
  done
done
# A new date on every line.
file=$data/statement-1000000-14-daily.csv
[ -s "$file" ] || "$build/bin/make_statement_file" "$file" 1000000 14 1

echo "=== bench: statement reader, fgets loop, fast-cpp-csv-parser"
"$build/bin/bench_statement_reader" "$data" --benchmark_out="$results/reader.json" \
  --benchmark_out_format=json | tee "$results/reader.txt"
echo "=== bench: payment record writers, fwrite"
"$build/bin/bench_payment_writer" --benchmark_out="$results/writer.json" \
  --benchmark_out_format=json | tee "$results/writer.txt"

echo "=== bench: the UK modulus checks of 4000 payee accounts, the tables' load, and the payee checks of a 4000-payment batch (goal: under 5 ms each)"
"$build/bin/bench_modulus_check" --benchmark_out="$results/modulus.json" \
  --benchmark_out_format=json | tee "$results/modulus.txt"

echo "=== bench: the options dialog's look-up of 4000 payments among 400,000 journal lines (goal: at most 150 ms)"
"$build/bin/bench_journal_lookup" --benchmark_out="$results/journal.json" \
  --benchmark_out_format=json | tee "$results/journal.txt"

echo "=== bench: paylode end to end; the table"
python3 "$repo/bench/bench_table.py" "$build" "$data" "$results/reader.json" "$results/writer.json" |
  tee "$results/table.txt"
