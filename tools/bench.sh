#!/usr/bin/env bash
# Builds the native flavour and runs every benchmark: Calculate per class and the 52-class sweep on
# the built-in well stream against the scripted and the Peng-Robinson host, object creation per
# class, host flashes per evaluation, and the wall time of `tarvox list` and `tarvox calc` as whole
# processes.
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

# Whole processes: start-up, registry lookup, module load, object creation, and for `calc` the 52
# Calculates and the output. The registry is unchanged between runs (as for a user), except in the
# run whose registry file is touched before each run, which then reads it and rewrites its snapshot.
"$bin/tarvox" calc >/dev/null  # registers the module once, outside the timing
time_process() {  # name, command...: 30 runs after 3 warm-ups, into $out/process_<name>.json or _us.txt
  local name="$1"; shift
  local prepare="${PREPARE:-true}"
  if command -v hyperfine >/dev/null; then
    rm -f "$out/process_${name}_us.txt"
    hyperfine --warmup 3 --runs 30 --export-json "$out/process_$name.json" -N --prepare "$prepare" "$*" \
      >"$out/process_$name.txt"
  else
    rm -f "$out/process_$name.json"
    for _ in $(seq 30); do
      $prepare
      start=$(date +%s%N); "$@" >/dev/null; end=$(date +%s%N)
      echo $(((end - start) / 1000))
    done | sort -n >"$out/process_${name}_us.txt"
  fi
}
time_process true true
time_process list "$bin/tarvox" list
time_process calc "$bin/tarvox" calc
PREPARE="touch $TARVOX_REGISTRY" time_process calc_registry_changed "$bin/tarvox" calc

python3 tools/bench_summary.py "$out"

# The Python package: calc_many, its cost against the tool, and Dask with one and two workers.
cmake --build --preset linux -j2 --target tarvox_python_core >/dev/null
PYTHONPATH=build/linux/lib/python3/dist-packages /usr/bin/python3 bench/python/calc_many_bench.py "$bin/tarvox" \
  "${BENCH_PYTHON_STREAMS:-1000}" | tee "$out/python_calc_many.md"
