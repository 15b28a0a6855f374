#!/usr/bin/env python3
"""Prints the Markdown summary of a tools/bench.sh run: the medians per class, the 52-class sweep
with the module's share of it, the tool's whole-process wall times and the flash counts."""
import json
import statistics
import sys
from pathlib import Path


def medians(path):
    """Median CPU time in microseconds by benchmark name: the code under test is single-threaded,
    and CPU time is what stays comparable on a machine that other work shares."""
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
    result = {}
    for run in json.loads(Path(path).read_text())["benchmarks"]:
        if run.get("aggregate_name") == "median":
            result[run["run_name"]] = run["cpu_time"] * scale[run["time_unit"]]
    return result


PROCESSES = [
    ("true", "`true` (starting a process)"),
    ("list", "`tarvox list`"),
    ("calc", "`tarvox calc`, built-in stream"),
    ("calc_registry_changed", "`tarvox calc`, registry file changed since the last run"),
]


def process_wall_times_ms(out, name):
    """Median and minimum wall time of one whole-process run, from hyperfine's export or the
    script's loop; None when it was not measured."""
    export, loop = out / f"process_{name}.json", out / f"process_{name}_us.txt"
    if export.exists():
        times = [t * 1e3 for t in json.loads(export.read_text())["results"][0]["times"]]
    elif loop.exists():
        times = [int(line) / 1e3 for line in loop.read_text().split()]
    else:
        return None
    return statistics.median(times), min(times), len(times)


def main():
    out = Path(sys.argv[1])
    calculate = medians(out / "bench_calculate.json")
    creation = medians(out / "bench_object_creation.json")
    classes = [name.split("/", 2)[2] for name in calculate if name.startswith("Calculate/Scripted/")]

    scripted, peng_robinson = calculate["Sweep/Scripted"], calculate["Sweep/PengRobinson"]
    print("### 52-class sweep of the built-in well stream\n")
    print("| host | median CPU time per sweep (µs) |\n|---|---:|")
    print(f"| scripted (the module alone) | {scripted:.1f} |")
    print(f"| Peng-Robinson | {peng_robinson:.1f} |")
    print(f"\nModule's share of the Peng-Robinson sweep: {100.0 * scripted / peng_robinson:.1f} %\n")
    print("### Whole processes (wall time, ms)\n")
    print("| run | median | fastest | runs |\n|---|---:|---:|---:|")
    for name, label in PROCESSES:
        measured = process_wall_times_ms(out, name)
        if measured:
            print(f"| {label} | {measured[0]:.1f} | {measured[1]:.1f} | {measured[2]} |")
    print()

    print("### Per class (median CPU time, µs)\n")
    print("| class | Calculate, scripted | Calculate, Peng-Robinson | module share | object creation |")
    print("|---|---:|---:|---:|---:|")
    for name in classes:
        own, total = calculate[f"Calculate/Scripted/{name}"], calculate[f"Calculate/PengRobinson/{name}"]
        share = f"{100.0 * own / total:.0f} %" if total > 0 else "-"
        print(f"| {name} | {own:.2f} | {total:.2f} | {share} | {creation.get(f'Create/{name}', float('nan')):.2f} |")

    print("\n### Flashes per Calculate\n")
    print((out / "flash_counts.md").read_text())


if __name__ == "__main__":
    main()
