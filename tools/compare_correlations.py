#!/usr/bin/env python3
"""Runs every correlation on the built-in streams and the benchmark and test streams with two builds
of `tarvox` and prints, per correlation, the largest relative change of any of its values.

    python3 tools/compare_correlations.py BASELINE_BIN NEW_BIN

Both builds read the component data of NEW_BIN (the baseline's programs are copied to a scratch
folder beside that data), so only the code differs. Each build gets a scratch registry.
"""
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile

# The built-in streams, the fluids of bench_flash_counts and the streams of the engine's tests.
STREAMS = {
    "propane": (20.0, 2000.0, {"propane": 1.0}),
    "n-butane": (20.0, 1000.0, {"n-butane": 1.0}),
    "n-hexane": (25.0, 101.325, {"n-hexane": 1.0}),
    "light naphtha": (25.0, 300.0, {"isopentane": 20, "n-pentane": 30, "n-hexane": 30, "n-heptane": 20}),
    "heavy naphtha": (25.0, 300.0, {"n-heptane": 20, "n-octane": 25, "n-nonane": 20, "n-decane": 15,
                                    "cyclohexane": 10, "toluene": 10}),
    "gasoline": (15.0, 200.0, {"n-butane": 6, "isobutane": 2, "isopentane": 12, "n-pentane": 8, "n-hexane": 12,
                               "cyclohexane": 6, "benzene": 2, "n-heptane": 14, "toluene": 14, "n-octane": 16,
                               "n-nonane": 8}),
    "crude with gas": (80.0, 20000.0, {"methane": 25, "ethane": 5, "propane": 5, "n-butane": 4, "n-pentane": 4,
                                       "n-hexane": 6, "n-octane": 15, "n-decane": 20, "n-dodecane": 16}),
    "natural gas": (40.0, 5000.0, {"nitrogen": 1, "carbon dioxide": 2, "methane": 85, "ethane": 8, "propane": 4}),
    "hydrogen-rich gas": (40.0, 2000.0, {"hydrogen": 60, "methane": 25, "ethane": 10, "carbon monoxide": 5}),
    "decane liquid": (25.0, 200.0, {"n-decane": 70, "n-dodecane": 30}),
    "black oil": (26.85, 1000.0, {"methane": 30, "ethane": 8, "propane": 7, "n-butane": 6, "n-pentane": 5,
                                  "n-hexane": 6, "n-heptane": 8, "n-octane": 10, "n-decane": 18,
                                  "carbon dioxide": 2}),
    "gas condensate": (6.85, 5000.0, {"methane": 70, "ethane": 10, "propane": 6, "n-butane": 4, "n-hexane": 5,
                                      "n-decane": 5}),
    "condensate with water": (40.0, 3000.0, {"nitrogen": 0.75, "carbon dioxide": 1.5, "methane": 45, "ethane": 6,
                                             "propane": 4.5, "n-butane": 3.75, "n-pentane": 3, "n-hexane": 3,
                                             "n-heptane": 3.75, "water": 28.75}),
}
SAMPLES = ["wellstream", "amine"]
PROGRAMS = ["tarvox", "tarvox.so", "quorix2.so", "libtarvox_platform.so", "TVXELYTE.DLL"]


def run(tool, registry, args):
    env = dict(os.environ, TARVOX_REGISTRY=registry, LD_LIBRARY_PATH=os.path.dirname(tool))
    out = subprocess.run([tool, "calc", "--format", "json", *args], env=env, check=True, capture_output=True,
                         text=True).stdout
    return {c["class"]: c["values"] for c in json.loads(out)["correlations"]}


def relative_change(old, new):
    if old is None or new is None or isinstance(old, str) or isinstance(new, str):
        return 0.0 if old == new else math.inf
    if old == new:
        return 0.0
    return abs(new - old) / max(abs(old), 1e-300)


def main():
    baseline_bin, new_bin = sys.argv[1], sys.argv[2]
    worst = {}
    with tempfile.TemporaryDirectory() as scratch:
        baseline = os.path.join(scratch, "baseline")
        os.mkdir(baseline)
        for name in PROGRAMS:
            shutil.copy2(os.path.join(baseline_bin, name), baseline)
        shutil.copytree(os.path.join(new_bin, "data"), os.path.join(baseline, "data"))
        tools = [(os.path.join(baseline, "tarvox"), os.path.join(scratch, "baseline.json")),
                 (os.path.join(new_bin, "tarvox"), os.path.join(scratch, "new.json"))]
        cases = [(name, ["--sample", name]) for name in SAMPLES]
        for name, (t, p, composition) in STREAMS.items():
            path = os.path.join(scratch, name.replace(" ", "_") + ".json")
            with open(path, "w") as f:
                json.dump({"name": name, "temperature_C": t, "pressure_kPa": p, "molar_flow_kmol_h": 100,
                           "composition": composition}, f)
            cases.append((name, [path]))
        for stream, args in cases:
            old, new = (run(tool, registry, args) for tool, registry in tools)
            for cls in sorted(set(old) | set(new)):
                for phase in set(old.get(cls, {})) | set(new.get(cls, {})):
                    change = relative_change(old.get(cls, {}).get(phase), new.get(cls, {}).get(phase))
                    if change >= worst.get(cls, (-1.0,))[0]:
                        worst[cls] = (change, stream, phase)
    print(f"{'class':<24} {'largest relative change':>24}  where")
    for cls, (change, stream, phase) in sorted(worst.items()):
        print(f"{cls:<24} {change:>24.3e}  {stream} / {phase}")
    overall = max(worst.values())
    print(f"largest of all: {overall[0]:.3e} ({overall[1]} / {overall[2]})")


if __name__ == "__main__":
    main()
