#!/usr/bin/env bash
# Side-by-side run: `expwiz export` against `sqlite3 -csv` on the identical
# final SQL text the host executes, for the same demo database. Prints the
# median wall times, their ratio and both peak RSS values, for 100k and 1M assets.
# Usage: scripts/bench.sh [RUNS] (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
bash scripts/install-deps.sh
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
bash scripts/build.sh build -- expwiz >/dev/null
expwiz=$PWD/build/bin/expwiz
work=${EXPWIZ_BENCH_DIR:-$PWD/out/bench}
mkdir -p "$work"

# About thirty fields of all types from the three asset tables.
fields=1004,1012,1002,1008,1011,1029,1006,1003,1001,1014,1010,1030,1036,1046,1028,1007,1048,1049,1052,1056,1084,1075,1076,1082,1085,1089,1097,1100,1103,1104,1113

measure() {   # prints "seconds peak_kib"
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null 2>&1
    cat "$work/time.txt"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

for assets in 100000 1000000; do
    data=$work/demo-$assets
    [ -f "$data/host.conf" ] || "$expwiz" demo --out "$data" --assets "$assets" --force >/dev/null
    args=(--data "$data" --database "Orvo Demo" --company "Harbor Logistics" --group "All Orvo Assets"
          --book Internal --fields "$fields")
    sql=$("$expwiz" export "${args[@]}" --print-sql | tail -n 1)
    db=$data/orvo-demo.sqlite
    : > "$work/e.txt"; : > "$work/s.txt"
    for _ in $(seq "$runs"); do   # alternate, so both see the same machine state
        measure "$expwiz" export "${args[@]}" --header --output "$work/expwiz.csv" >> "$work/e.txt"
        measure sqlite3 -csv -cmd ".output $work/sqlite.csv" "$db" "$sql" >> "$work/s.txt"
    done
    et=$(cut -d' ' -f1 "$work/e.txt" | median); em=$(cut -d' ' -f2 "$work/e.txt" | sort -n | tail -1)
    st=$(cut -d' ' -f1 "$work/s.txt" | median); sm=$(cut -d' ' -f2 "$work/s.txt" | sort -n | tail -1)
    rows=$(($(wc -l < "$work/sqlite.csv")))
    echo "assets=$assets rows=$rows expwiz=${et}s sqlite3=${st}s ratio=$(awk "BEGIN {printf \"%.2f\", $et/$st}") \
expwiz_peak_rss=$((em / 1024))MiB sqlite3_peak_rss=$((sm / 1024))MiB"
done
