#!/usr/bin/env bash
# Configures and builds into a folder (default: build).
# Usage: build.sh [DIR] [CMake options...] [-- targets...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake_args=()
targets=()
while [ $# -gt 0 ]; do
    if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
    cmake_args+=("$1"); shift
done
cmake -S . -B "$dir" -G Ninja -DEXPWIZ_WERROR=ON "${cmake_args[@]}" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
else
    cmake --build "$dir" -j "$(nproc)"
fi
