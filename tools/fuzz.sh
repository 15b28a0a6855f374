#!/usr/bin/env bash
# Builds the fuzz preset and runs each libFuzzer target for a bounded time (default 60 s each),
# starting from a temporary copy of its committed seed corpus so that the corpus stays small.
# Usage: tools/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(fuzz_calculate fuzz_registry_script fuzz_electrolyte fuzz_stream_file)

cmake --preset fuzz -S "$root" >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target/corpus" "$work/$target/artifacts"
  cp "$root/fuzz/corpus/$target/"* "$work/$target/corpus/"
  echo "== $target: $seconds s"
  if ! "$root/build/fuzz/bin/$target" -max_total_time="$seconds" -timeout=25 -max_len=2048 \
      -artifact_prefix="$work/$target/artifacts/" "$work/$target/corpus" 2>"$work/$target/log"; then
    status=1
    tail -n 60 "$work/$target/log"
    mkdir -p "$root/build/fuzz/artifacts"
    cp "$work/$target/artifacts/"* "$root/build/fuzz/artifacts/" 2>/dev/null || true
    echo "== $target FAILED; reproducer(s) in build/fuzz/artifacts/"
  else
    grep -E '^Done [0-9]+ runs' "$work/$target/log" || true
  fi
done
exit "$status"
