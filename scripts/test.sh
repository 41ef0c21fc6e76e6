#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice:
# a normal build, then one with AddressSanitizer and UndefinedBehaviorSanitizer;
# with EXPWIZ_TSAN=1 the export tests run a third time under ThreadSanitizer.
# Each run gets a throwaway PostgreSQL server for the server backend's tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
# Let ccache reuse objects across clones of the repo on the same machine.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

bash scripts/build.sh build
bash scripts/with-postgres.sh ctest --test-dir build --output-on-failure -j "$(nproc)"

if [ "${EXPWIZ_SKIP_SANITIZE:-0}" != 1 ]; then
    bash scripts/build.sh build-asan -DEXPWIZ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        bash scripts/with-postgres.sh ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

    # ThreadSanitizer for the export engine, whose rows are written on a
    # second thread: only the export tests are built this way. Opt-in for
    # now: here the runtime reports the mutex-guarded batch hand-over as a
    # race (it sees no lock on the calling thread); to be cleared first.
    if [ "${EXPWIZ_TSAN:-0}" = 1 ]; then
        bash scripts/build.sh build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread \
            -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread -- export_tests
        TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build-tsan/bin/export_tests
    fi
fi

# --- Fuzzing -----------------------------------------------------------------
# Every fuzz target for a short bounded time, two at once, from its seed
# corpus: a reader that crashes, leaks or breaks its round trip fails the run.
# scripts/fuzz.sh SECONDS runs them longer.
if [ "${EXPWIZ_SKIP_FUZZ:-0}" != 1 ]; then
    EXPWIZ_FUZZ_JOBS=2 bash scripts/fuzz.sh "${EXPWIZ_FUZZ_SECONDS:-20}"
fi
