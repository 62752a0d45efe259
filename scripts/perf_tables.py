#!/usr/bin/env python3
"""Writes benchmark medians into the marked tables of a Markdown file.

Usage: perf_tables.py FILE RESULT.json...  Each RESULT is Google Benchmark's JSON output of one
program; its table replaces the text between "<!-- NAME:begin -->" and "<!-- NAME:end -->", NAME
being the program's file name without ".json".
"""
import json
import os
import pathlib
import re
import sys

UNITS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}


def readable(seconds):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if seconds >= scale:
            return f"{seconds / scale:.3g} {unit}"
    return f"{seconds / 1e-9:.3g} ns"


def table(result_file):
    data = json.loads(pathlib.Path(result_file).read_text())
    rows = ["| Benchmark | Median wall time | Median CPU time |", "|---|---|---|"]
    for bench in data["benchmarks"]:
        if bench.get("aggregate_name") != "median":
            continue
        scale = UNITS[bench["time_unit"]]
        name = bench["run_name"]
        rows.append(f"| `{name}` | {readable(bench['real_time'] * scale)} "
                    f"| {readable(bench['cpu_time'] * scale)} |")
    context = data["context"]
    rows.append("")
    build_type = os.environ.get("KELMORA_BUILD_TYPE", "unknown")
    rows.append(f"Measured {context['date'][:10]} on {context['num_cpus']} CPUs at "
                f"{context['mhz_per_cpu']} MHz, {build_type} build, median of 5 repetitions.")
    return "\n".join(rows)


def main():
    document = pathlib.Path(sys.argv[1])
    text = document.read_text()
    for result in sys.argv[2:]:
        name = pathlib.Path(result).stem
        pattern = re.compile(rf"(<!-- {name}:begin -->\n).*?(<!-- {name}:end -->)", re.S)
        if not pattern.search(text):
            print(f"no markers for {name} in {document}", file=sys.stderr)
            continue
        text = pattern.sub(lambda m: m.group(1) + table(result) + "\n" + m.group(2), text)
    document.write_text(text)


if __name__ == "__main__":
    main()
