#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice:
# a normal build, then one with AddressSanitizer and UndefinedBehaviorSanitizer;
# the export run cases run a third time under ThreadSanitizer.
# Each run gets a throwaway PostgreSQL server for the server backend's tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
# Let ccache reuse objects across clones of the repo on the same machine.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
# The library and program sources compile in batches: a clean build takes
# less than half the time. Each test source stays a compilation of its own.
unity=-DCMAKE_UNITY_BUILD=ON

bash scripts/build.sh build "$unity"
bash scripts/with-postgres.sh ctest --test-dir build --output-on-failure -j "$(nproc)"

if [ "${EXPWIZ_SKIP_SANITIZE:-0}" != 1 ]; then
    bash scripts/build.sh build-asan "$unity" -DEXPWIZ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        bash scripts/with-postgres.sh ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

    # ThreadSanitizer for the export engine, whose rows are written on a
    # second thread: only the export tests are built this way, each case in
    # its own process. The runtime loses track of a process that has started
    # a child (Qt starts it with a vfork-style clone), so the cases that run a
    # helper program before an export are left to the two runs above.
    bash scripts/build.sh build-tsan "$unity" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread \
        -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread -- export_tests
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir build-tsan --output-on-failure --no-tests=error \
        -j "$(nproc)" -R '^(ExportRunTest|Pipeline)\.' -E 'AllocationFields|PythonsReaders'
fi

# --- Fuzzing -----------------------------------------------------------------
# Every fuzz target for a short bounded time, two at once, from its seed
# corpus: a reader that crashes, leaks or breaks its round trip fails the run.
# scripts/fuzz.sh SECONDS runs them longer.
if [ "${EXPWIZ_SKIP_FUZZ:-0}" != 1 ]; then
    EXPWIZ_FUZZ_JOBS=2 bash scripts/fuzz.sh "${EXPWIZ_FUZZ_SECONDS:-20}"
fi
