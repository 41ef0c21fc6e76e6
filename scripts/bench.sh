#!/usr/bin/env bash
# Side-by-side run: `expwiz export` against `sqlite3 -csv` on the identical
# final SQL text the host executes, for the same demo database. For 100k and
# 1M assets it prints both medians of alternating runs, their ratio, both
# peak RSS values and the data rows of both files, counted as CSV records
# (a line break inside a cell is not a row).
#
# Usage: scripts/bench.sh [--runs N] [--fields all|IDS] [--sizes "100000 1000000"] [--callgrind]
#   --runs N       alternating runs per tool and size (default 5)
#   --fields all   every field 1001..1113 instead of the usual 31
#   --callgrind    instead of timing, count the instructions of one run of
#                  each tool under valgrind (load-independent) and print
#                  their ratio; default size 100000 only
# EXPWIZ_BENCH_DIR chooses the work folder (default out/bench).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=5
sizes="100000 1000000"
sizes_given=
callgrind=
# About thirty fields of all types from the three asset tables.
fields=1004,1012,1002,1008,1011,1029,1006,1003,1001,1014,1010,1030,1036,1046,1028,1007,1048,1049,1052,1056,1084,1075,1076,1082,1085,1089,1097,1100,1103,1104,1113
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --fields) fields=$2; shift 2 ;;
        --sizes) sizes=$2; sizes_given=1; shift 2 ;;
        --callgrind) callgrind=1; shift ;;
        [0-9]*) runs=$1; shift ;;   # the former positional run count
        *) echo "bench.sh: unknown option '$1' (see the usage at the top of the script)" >&2; exit 2 ;;
    esac
done
[ "$fields" = all ] && fields=$(seq -s, 1001 1113)
[ -n "$callgrind" ] && [ -z "$sizes_given" ] && sizes=100000

bash scripts/install-deps.sh >/dev/null
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
bash scripts/build.sh build -- expwiz >/dev/null
expwiz=$PWD/build/bin/expwiz
work=${EXPWIZ_BENCH_DIR:-$PWD/out/bench}
mkdir -p "$work"

measure() {   # prints "seconds peak_kib"
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null 2>&1
    cat "$work/time.txt"
}
instructions() {   # prints the instructions valgrind counted for one run
    valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$@" 2>&1 >/dev/null \
        | sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
records() {   # data rows of a CSV file, after `skip` header lines
    python3 -c 'import csv, sys
with open(sys.argv[1], newline="", encoding="utf-8", errors="replace") as f:
    print(sum(1 for _ in csv.reader(f)) - int(sys.argv[2]))' "$1" "$2"
}

for assets in $sizes; do
    data=$work/demo-$assets
    [ -f "$data/host.conf" ] || "$expwiz" demo --out "$data" --assets "$assets" --force >/dev/null
    args=(--data "$data" --database "Orvo Demo" --company "Harbor Logistics" --group "All Orvo Assets"
          --book Internal --fields "$fields")
    sql=$("$expwiz" export "${args[@]}" --print-sql | tail -n 1)
    db=$data/orvo-demo.sqlite
    if [ -n "$callgrind" ]; then
        ei=$(instructions "$expwiz" export "${args[@]}" --header --output "$work/expwiz.csv")
        si=$(instructions sqlite3 -csv -cmd ".output $work/sqlite.csv" "$db" "$sql")
        echo "assets=$assets expwiz_instructions=$ei sqlite3_instructions=$si" \
             "ratio=$(awk "BEGIN {printf \"%.3f\", $ei/$si}")"
        continue
    fi
    : > "$work/e.txt"; : > "$work/s.txt"
    for _ in $(seq "$runs"); do   # alternate, so both see the same machine state
        measure "$expwiz" export "${args[@]}" --header --output "$work/expwiz.csv" >> "$work/e.txt"
        measure sqlite3 -csv -cmd ".output $work/sqlite.csv" "$db" "$sql" >> "$work/s.txt"
    done
    et=$(cut -d' ' -f1 "$work/e.txt" | median); em=$(cut -d' ' -f2 "$work/e.txt" | sort -n | tail -1)
    st=$(cut -d' ' -f1 "$work/s.txt" | median); sm=$(cut -d' ' -f2 "$work/s.txt" | sort -n | tail -1)
    echo "assets=$assets rows=$(records "$work/expwiz.csv" 1) sqlite3_rows=$(records "$work/sqlite.csv" 0)" \
         "expwiz=${et}s sqlite3=${st}s ratio=$(awk "BEGIN {printf \"%.2f\", $et/$st}")" \
         "expwiz_peak_rss=$((em / 1024))MiB sqlite3_peak_rss=$((sm / 1024))MiB"
done
