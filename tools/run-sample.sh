#!/usr/bin/env bash
# The main job: builds the native flavour and runs the tarvox tool.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-dependencies.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
exec build/linux/bin/tarvox calc
