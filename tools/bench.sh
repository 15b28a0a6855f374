#!/usr/bin/env bash
# Builds the native flavour and runs every benchmark: Calculate per class and the 52-class sweep on
# the built-in well stream against the scripted and the Peng-Robinson host, object creation per
# class, host flashes per evaluation, and the wall time of `tarvox calc` as a whole process.
# Results go to build/linux/bench-results/ and a summary to stdout.
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions="${BENCH_REPETITIONS:-5}"
cmake --preset linux >/dev/null
cmake --build --preset linux -j2 --target bench_calculate bench_object_creation bench_flash_counts tarvox_tool >/dev/null
bin=build/linux/bin
out=build/linux/bench-results
mkdir -p "$out"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export TARVOX_REGISTRY="$scratch/registry.json"

run_google_benchmark() {  # name, extra arguments...
  local name="$1"; shift
  "$bin/$name" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/$name.json" --benchmark_out_format=json "$@" >"$out/$name.txt"
}

run_google_benchmark bench_calculate
run_google_benchmark bench_object_creation
"$bin/bench_flash_counts" >"$out/flash_counts.md"

# The whole process: start-up, registration lookup, module load, 52 Calculates, output.
"$bin/tarvox" calc >/dev/null  # registers the module once, outside the timing
if command -v hyperfine >/dev/null; then
  hyperfine --warmup 3 --runs 30 --export-json "$out/tarvox_calc.json" -N "$bin/tarvox calc" >"$out/tarvox_calc.txt"
else
  rm -f "$out/tarvox_calc.json"
  for _ in $(seq 30); do
    start=$(date +%s%N); "$bin/tarvox" calc >/dev/null; end=$(date +%s%N)
    echo $(((end - start) / 1000))
  done | sort -n >"$out/tarvox_calc_us.txt"
fi

python3 tools/bench_summary.py "$out"

# The Python package: calc_many, its cost against the tool, and Dask with one and two workers.
cmake --build --preset linux -j2 --target tarvox_python_core >/dev/null
PYTHONPATH=build/linux/lib/python3/dist-packages /usr/bin/python3 bench/python/calc_many_bench.py "$bin/tarvox" \
  "${BENCH_PYTHON_STREAMS:-1000}" | tee "$out/python_calc_many.md"
