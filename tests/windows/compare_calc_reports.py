"""Compares two `tarvox calc --format json` reports: the same classes, and every value equal to a
relative tolerance (both empty, or both numbers).

usage: compare_calc_reports.py EXPECTED.json ACTUAL.json RELATIVE_TOLERANCE"""
import json
import sys


def main(expected_path, actual_path, tolerance):
    expected = json.load(open(expected_path, encoding="utf-8", errors="replace"))
    actual = json.load(open(actual_path, encoding="utf-8", errors="replace"))
    faults = []
    if [row["class"] for row in expected["correlations"]] != [row["class"] for row in actual["correlations"]]:
        faults.append("the classes differ")
    compared = 0
    for want, got in zip(expected["correlations"], actual["correlations"]):
        for slot, value in want["values"].items():
            other = got["values"].get(slot)
            if value is None or other is None:
                if value is not other:
                    faults.append(f"{want['class']}.{slot}: {value} against {other}")
                continue
            compared += 1
            if abs(other - value) > tolerance * max(abs(value), abs(other)):
                faults.append(f"{want['class']}.{slot}: {value!r} against {other!r}")
    print(f"{compared} values compared, {len(faults)} differences")
    for fault in faults:
        print("  " + fault)
    return 1 if faults or compared == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], float(sys.argv[3])))
