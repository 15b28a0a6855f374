#!/usr/bin/env bash
# Installs what building and testing Tarvox needs on Debian 12, skipping what is there already;
# --windows adds the cross build and Wine, --fuzz the clang tool chain of the fuzz preset.
set -euo pipefail
packages=(cmake ninja-build g++ ccache libgtest-dev libbenchmark-dev libpugixml-dev nlohmann-json3-dev
          libeigen3-dev python3 valgrind libcli11-dev pybind11-dev python3-dev python3-pandas
          python3-distributed python3-pytest python3-matplotlib python3-tqdm)
for option in "$@"; do
  case "$option" in
    --fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
    --windows) packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 googletest) ;;
    *) echo "install-dependencies.sh: unknown option $option" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
