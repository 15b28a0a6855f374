#!/usr/bin/env bash
# Builds both flavours (native, native with sanitizers, Windows cross build) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-dependencies.sh --windows
# Tests register classes: keep their registry out of the user's.
export TARVOX_REGISTRY="$PWD/build/test-registry.json"
# The sanitizer and Windows flavours are built by hand for now (see the README): six
# sanitizer findings and the Wine run are still being worked through.
for preset in ${TARVOX_PRESETS:-linux}; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
