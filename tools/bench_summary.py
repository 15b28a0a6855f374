#!/usr/bin/env python3
"""Prints the Markdown summary of a tools/bench.sh run: the medians per class, the 52-class sweep
with the module's share of it, the tool's wall time and the flash counts."""
import json
import sys
from pathlib import Path


def medians(path):
    """Median real time in microseconds by benchmark name."""
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
    result = {}
    for run in json.loads(Path(path).read_text())["benchmarks"]:
        if run.get("aggregate_name") == "median":
            result[run["run_name"]] = run["real_time"] * scale[run["time_unit"]]
    return result


def main():
    out, tool_median_ms = Path(sys.argv[1]), sys.argv[2]
    calculate = medians(out / "bench_calculate.json")
    creation = medians(out / "bench_object_creation.json")
    classes = [name.split("/", 2)[2] for name in calculate if name.startswith("Calculate/Scripted/")]

    scripted, peng_robinson = calculate["Sweep/Scripted"], calculate["Sweep/PengRobinson"]
    print("### 52-class sweep of the built-in well stream\n")
    print("| host | median per sweep (µs) |\n|---|---:|")
    print(f"| scripted (the module alone) | {scripted:.1f} |")
    print(f"| Peng-Robinson | {peng_robinson:.1f} |")
    print(f"\nModule's share of the Peng-Robinson sweep: {100.0 * scripted / peng_robinson:.1f} %\n")
    print(f"`tarvox calc` (whole process, built-in stream): median {tool_median_ms} ms\n")

    print("### Per class (median, µs)\n")
    print("| class | Calculate, scripted | Calculate, Peng-Robinson | module share | object creation |")
    print("|---|---:|---:|---:|---:|")
    for name in classes:
        own, total = calculate[f"Calculate/Scripted/{name}"], calculate[f"Calculate/PengRobinson/{name}"]
        share = f"{100.0 * own / total:.0f} %" if total > 0 else "-"
        print(f"| {name} | {own:.2f} | {total:.2f} | {share} | {creation.get(f'Create/{name}', float('nan')):.2f} |")

    print("\n### Host flashes per Calculate\n")
    print((out / "flash_counts.md").read_text())


if __name__ == "__main__":
    main()
