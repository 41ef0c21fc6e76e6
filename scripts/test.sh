#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice:
# a normal build, then one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
# Let ccache reuse objects across clones of the repo on the same machine.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

bash scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"

if [ "${EXPWIZ_SKIP_SANITIZE:-0}" != 1 ]; then
    bash scripts/build.sh build-asan -DEXPWIZ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
fi
