#!/usr/bin/env python3
"""Runs the end-to-end measurements of the paylode tool and prints the
benchmark table: every case's throughput and its ratio to the peer measured
in the same run, against the goals.

    bench_table.py BUILD_DIR DATA_DIR READER_JSON WRITER_JSON

READER_JSON and WRITER_JSON are Google Benchmark's JSON output of
bench_statement_reader and bench_payment_writer.
"""
import csv
import json
import os
import re
import subprocess
import sys
import time

build, data, reader_json, writer_json = sys.argv[1:5]
paylode = os.path.join(build, "bin", "paylode")


def load(path):
    """(benchmark, its arguments) -> (seconds per iteration, counters); the
    arguments are the numbers named in the name
    ("lines:100000/fields:14/lines_a_day:400")."""
    with open(path) as f:
        results = json.load(f)["benchmarks"]
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
    loaded = {}
    for r in results:
        if "error_message" in r:
            continue
        name = r["name"].split("/")[0]
        arguments = tuple(int(value) for value in re.findall(r"(?:lines|fields|lines_a_day|format):(\d+)", r["name"]))
        loaded[(name, arguments)] = (r["real_time"] * scale[r["time_unit"]], r)
    return loaded


def run(args, repeat):
    """Best wall time of `repeat` runs, the largest peak resident set, the
    last exit status."""
    best, peak, status = None, 0, None
    for _ in range(repeat):
        start = time.perf_counter()
        process = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, wait_status, usage = os.wait4(process.pid, 0)
        elapsed = time.perf_counter() - start
        status = os.waitstatus_to_exitcode(wait_status)
        best = elapsed if best is None else min(best, elapsed)
        peak = max(peak, usage.ru_maxrss)  # KiB
    return best, peak, status


rows = []


def row(case, throughput, rate, peer="", ratio=None, goal=None):
    verdict = ""
    if ratio is not None and goal is not None:
        verdict = "met" if ratio <= goal else "MISSED"
    rows.append([case, throughput, rate, peer,
                 "" if ratio is None else f"{ratio:.2f}x",
                 "" if goal is None else f"<= {goal:g}x {verdict}"])


def mb(bytes_per_second):
    return f"{bytes_per_second / 1e6:8.1f} MB/s"


def per_second(value, unit):
    if value >= 1e6:
        return f"{value / 1e6:6.2f} M {unit}/s"
    return f"{value / 1e3:6.1f} k {unit}/s"


reader = load(reader_json)
sizes = sorted({arguments for _, arguments in reader if len(arguments) == 3})


def describe(lines, fields, lines_a_day):
    """The case's label and its statement file."""
    daily = lines_a_day == 1
    label = f"{lines:>7} lines, {fields} fields" + (", a new date every line" if daily else "")
    name = f"statement-{lines}-{fields}" + ("-daily" if daily else "") + ".csv"
    return label, os.path.join(data, name)


fgets_time, fccp_time = {}, {}
for size in sizes:
    base = {peer: reader.get((peer, size)) for peer in ("BM_Fgets", "BM_FastCsvParser", "BM_StatementReader")}
    if None in base.values():
        continue
    label, _ = describe(*size)
    fgets, fccp, ours = (base[p] for p in ("BM_Fgets", "BM_FastCsvParser", "BM_StatementReader"))
    fgets_time[size], fccp_time[size] = fgets[0], fccp[0]
    row(f"fgets loop, {label}", mb(fgets[1]["bytes_per_second"]), per_second(fgets[1]["lines/s"], "lines"))
    row(f"fast-cpp-csv-parser, {label}", mb(fccp[1]["bytes_per_second"]), per_second(fccp[1]["lines/s"], "lines"))
    # The one reading of account mode: the check of the whole file, the
    # account's transactions kept, then delivered.
    row(f"statement reader, account mode, {label}", mb(ours[1]["bytes_per_second"]),
        per_second(ours[1]["lines/s"], "lines"), "fgets loop", ours[0] / fgets[0], 5)
    row("", "", "", "fast-cpp-csv-parser", ours[0] / fccp[0], 1)
    # The import's one reading: every account's transactions kept up to the
    # cap, the host's account known only after it.
    imported = reader.get(("BM_StatementImport", size))
    if imported is not None:
        row(f"statement reader, import, {label}", mb(imported[1]["bytes_per_second"]),
            f"{per_second(imported[1]['lines/s'], 'lines')}, kept {imported[1]['kept_MiB']:.1f} MiB at the end",
            "fgets loop", imported[0] / fgets[0], 5)
        row("", "", "", "fast-cpp-csv-parser", imported[0] / fccp[0], 1)

# paylode statement end to end, in account mode on an account with no line
# in the file: the one reading and nothing else, and its peak memory.
for size in sizes:
    label, path = describe(*size)
    if not os.path.exists(path) or size not in fgets_time:
        continue
    seconds, peak, status = run([paylode, "statement", path, "--sort-code", "99-99-99", "--account", "99999999"], 3)
    if status != 0:
        sys.exit(f"paylode statement {path}: exit status {status}")
    row(f"paylode statement, account mode, {label}", mb(os.path.getsize(path) / seconds),
        f"peak RSS {peak / 1024:6.1f} MiB", "fgets loop", seconds / fgets_time[size], 5)
    row("", "", "", "fast-cpp-csv-parser", seconds / fccp_time[size], 1)

writer = load(writer_json)
for form in range(4):
    ours = writer.get(("BM_RecordWriters", (form,)))
    floor = writer.get(("BM_Fwrite", (form,)))
    if ours is None or floor is None:
        continue
    row(f"record writers, 4000 payments, format {form}", mb(ours[1]["bytes_per_second"]),
        per_second(ours[1]["payments/s"], "payments"), "one fwrite", ours[0] / floor[0], 10)
    # The durable step (a new file, synced, moved over the chosen one)
    # against the same records written straight into the chosen file.
    in_place = writer.get(("BM_RecordWritersInPlace", (form,)))
    if in_place is not None:
        row(f"  written in place, no sync", mb(in_place[1]["bytes_per_second"]),
            per_second(in_place[1]["payments/s"], "payments"))
        row("", "", "", "durable / in place", ours[0] / in_place[0])

# paylode export end to end on a batch of 4000 payments.
batch = os.path.join(data, "batch-4000.csv")
with open(batch, "w", newline="") as f:
    out = csv.writer(f, lineterminator="\r\n")
    out.writerow(["amount", "payer_sort_code", "payer_account_number", "payee_bacs_reference", "payee_sort_code",
                  "payee_account_number", "payee_account_name", "payee_roll_number", "status"])
    names = ["O'Brien & Sons, Ltd.", "Smith Joinery", "Café Łódź", "A N Other", "Northern Power plc"]
    for i in range(4000):
        out.writerow([f"{10 + (i * 37 % 100000) / 100:.2f}", "12-34-56", "12345678", f"INV {i}",
                      f"{i % 100:02d}-{i // 100 % 100:02d}-42", f"{10000000 + i * 13 % 90000000:08d}",
                      names[i % 5], f"ROLL/{i}" if i % 5 == 0 else "", 1 if i % 10 == 0 else 0])
for form in range(4):
    target = os.path.join(data, f"export-{form}.txt")
    args = [paylode, "export", batch, "--format", str(form), "--date", "2024-03-05", "--no-date-check",
            "--template", "STAFF", "--reference", "BEN", "--out", target, "--overwrite-template"]
    seconds, peak, status = run(args, 5)
    if status not in (0, 1):
        sys.exit(f"paylode export format {form}: exit status {status}")
    row(f"paylode export, 4000 payments, format {form}", mb(os.path.getsize(target) / seconds),
        per_second(4000 / seconds, "payments"), f"{seconds * 1000:.1f} ms, peak RSS {peak / 1024:.1f} MiB")

header = ["case", "throughput", "rate / memory", "peer (same run)", "time ratio", "goal"]
widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
for line in [header, ["-" * w for w in widths]] + rows:
    print("  ".join(str(cell).ljust(w) for cell, w in zip(line, widths)).rstrip())
