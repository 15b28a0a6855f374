#!/usr/bin/env bash
# Builds both flavours (native, native with sanitizers, Windows cross build) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-dependencies.sh --windows --fuzz
# Tests register classes: keep their registry out of the user's.
export TARVOX_REGISTRY="$PWD/build/test-registry.json"
for preset in linux linux-asan windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
# Every fuzz target briefly, from its seed corpus: a crash or a broken invariant fails the run.
bash tools/fuzz.sh 20
