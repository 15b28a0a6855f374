#!/usr/bin/env python3
"""Runs the engine's flash sweep (`tarvox_flash_sweep`, bench/thermo/flash_sweep.cpp) of two builds and
compares them flash by flash (changes of phase fractions are absolute, of enthalpy and molar volume
relative).

    python3 tools/compare_flash_sweeps.py BASELINE_BIN NEW_BIN

Prints every flash whose convergence, number of phases or state (Gibbs energy beyond 1e-8 RT) differs,
with the difference of the reduced Gibbs energy (baseline less new: positive where the new build found
the more stable state), then per sweep and quantity the largest change, and the largest rise of the
Gibbs energy over the flashes that agree. Exits 1 when the new build fails a flash that the baseline
converges.
"""
import os
import subprocess
import sys

# Two converged states of the same feed whose Gibbs energies differ by more are different states.
GIBBS_TOLERANCE = 1e-8
# Name and the floor of the denominator of a relative change: phase fractions compare absolutely, and an
# enthalpy near its reference zero to 1 kJ/kmol.
QUANTITIES = [("vapour fraction", 1.0), ("oil fraction", 1.0), ("water fraction", 1.0), ("enthalpy", 1.0),
              ("molar volume", 1e-300)]


def sweep(bin_dir):
    out = subprocess.run([os.path.join(bin_dir, "tarvox_flash_sweep")], check=True, capture_output=True,
                         text=True).stdout
    return [line.split() for line in out.splitlines()]


def main():
    old_rows, new_rows = sweep(sys.argv[1]), sweep(sys.argv[2])
    if [r[:2] for r in old_rows] != [r[:2] for r in new_rows]:
        sys.exit("the two sweeps flash different cases")
    worst, gibbs_rise, differing, lost = {}, 0.0, 0, 0
    for old, new in zip(old_rows, new_rows):
        if old[2] == "exception" or new[2] == "exception":
            if old[2:] != new[2:]:
                differing += 1
                print("differs:", " ".join(old), "|", " ".join(new[2:]))
            continue
        if old[2:4] != new[2:4]:
            differing += 1
            lost += old[2] == "1" and new[2] == "0"
            gain = float(old[-1]) - float(new[-1]) if old[2] == new[2] == "1" else float("nan")
            print(f"differs: {old[0]} {old[1]}: converged {old[2]} -> {new[2]}, phases {old[3]} -> {new[3]},"
                  f" Gibbs energy / RT lower by {gain:.3e}")
            continue
        if old[2] == "0":
            continue
        gain = float(old[-1]) - float(new[-1])
        if abs(gain) > GIBBS_TOLERANCE:
            differing += 1
            print(f"differs: {old[0]} {old[1]}: another {old[3]}-phase state,"
                  f" Gibbs energy / RT lower by {gain:.3e}")
            continue
        gibbs_rise = max(gibbs_rise, -gain)
        for (name, floor), a, b in zip(QUANTITIES, old[4:-1], new[4:-1]):
            a, b = float(a), float(b)
            change = 0.0 if a == b else abs(b - a) / max(abs(a), floor)
            if change >= worst.get((old[0], name), (-1.0,))[0]:
                worst[(old[0], name)] = (change, old[1])
    print(f"{len(old_rows)} flashes, {differing} differ in convergence, phases or state")
    print(f"largest rise of the Gibbs energy / RT where they agree: {gibbs_rise:.3e}")
    for (tag, name), (change, index) in sorted(worst.items()):
        print(f"{tag:<24} {name:<16} largest change {change:.3e} (flash {index})")
    sys.exit(1 if lost else 0)


if __name__ == "__main__":
    main()
