#!/usr/bin/env bash
# Configures and builds into a folder (default: build). Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja -DEXPWIZ_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
