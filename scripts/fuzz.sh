#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, in build-fuzz) and runs each for
# SECONDS (default 300) from its seed corpus in fuzz/corpus, then prints the
# executions and coverage of each. Fails when a target crashes, leaks, runs
# out of its memory limit or breaks one of its round-trip properties; the
# input that did it is kept in build-fuzz/artifacts.
#
# Usage: fuzz.sh [SECONDS] [TARGET...]        (targets: fuzz_expfile fuzz_ini ...)
# EXPWIZ_FUZZ_JOBS: how many targets run at once (default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
case $seconds in
    '' | *[!0-9]*) echo "fuzz.sh: SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac
jobs=${EXPWIZ_FUZZ_JOBS:-1}
dir=build-fuzz

export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
bash scripts/build.sh "$dir" -DEXPWIZ_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -- "$@"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for seeds in fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
fi

# The writers sync every file they replace: keep the scratch files in memory.
scratch_root=/dev/shm
[ -d "$scratch_root" ] && [ -w "$scratch_root" ] || scratch_root=$dir
scratch=$(mktemp -d "$scratch_root/expwiz-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$dir/artifacts" "$dir/logs"
# A smaller quarantine and shorter allocation stacks than ASan's defaults
# double the executions per second and cut the memory five-fold.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=10}

run() {
    local target=$1 work=$scratch/$1
    mkdir -p "$work/corpus" "$work/tmp"
    # New inputs go to a scratch corpus; the seeds in the tree stay as they are.
    TMPDIR=$work/tmp QT_QPA_PLATFORM=offscreen "$dir/bin/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=512 -malloc_limit_mb=64 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$dir/artifacts/$target-" \
        "$work/corpus" "fuzz/corpus/$target" >"$dir/logs/$target.log" 2>&1
}

report() {
    local target=$1 status=$2 log=$dir/logs/$1.log
    local runs rate rss cov
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
    cov=$(grep -E '^#[0-9]+[[:space:]]+(DONE|INITED|NEW|REDUCE|pulse)' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+' || true)
    if [ "$status" -eq 0 ]; then
        printf '%-16s ok      %10s runs  %6s/s  %-22s peak %s MB\n' "$target" "${runs:-?}" "${rate:-?}" "${cov:-cov: ?}" "${rss:-?}"
    else
        printf '%-16s FAILED  %10s runs  %-22s (exit %s; log %s)\n' "$target" "${runs:-?}" "${cov:-cov: ?}" "$status" "$log"
        grep -E 'fuzz: property broken|ERROR: |SUMMARY: |runtime error|Test unit written' "$log" | head -8 | sed 's/^/    /'
    fi
}

failed=0
declare -A running=()   # pid -> target
finish_one() {
    local pid status=0
    wait -n -p pid "${!running[@]}" || status=$?
    report "${running[$pid]}" "$status"
    [ "$status" -eq 0 ] || failed=1
    unset "running[$pid]"
}
for target in "${targets[@]}"; do
    [ -x "$dir/bin/$target" ] || { echo "fuzz.sh: no fuzz target '$target' (see fuzz/CMakeLists.txt)" >&2; exit 2; }
    while [ ${#running[@]} -ge "$jobs" ]; do finish_one; done
    run "$target" &
    running[$!]=$target
done
while [ ${#running[@]} -gt 0 ]; do finish_one; done
exit $failed
