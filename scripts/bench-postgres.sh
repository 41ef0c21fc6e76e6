#!/usr/bin/env bash
# Side-by-side run on a PostgreSQL server: `expwiz export` of 31 fields
# against psql's \copy of the identical final SQL text the host executes,
# for 1M demo assets. Alternates the two, and prints the median wall times,
# their ratio, both peak RSS values, and the client's and the server's CPU
# time for each (medians), with the load average before and after, so a
# result taken on a busy machine can be judged.
# Without EXPWIZ_PG it runs on a throwaway server (scripts/with-postgres.sh).
# Usage: scripts/bench-postgres.sh [RUNS] [ASSETS] (default 3 and 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${EXPWIZ_PG:-}" ]; then
    exec bash scripts/with-postgres.sh bash "$0" "$@"
fi
runs=${1:-3}
assets=${2:-1000000}
bash scripts/install-deps.sh
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
bash scripts/build.sh build -- expwiz >/dev/null
expwiz=$PWD/build/bin/expwiz
work=${EXPWIZ_BENCH_DIR:-$PWD/out/bench-postgres}
mkdir -p "$work"

# The same thirty-one fields as scripts/bench.sh.
fields=1004,1012,1002,1008,1011,1029,1006,1003,1001,1014,1010,1030,1036,1046,1028,1007,1048,1049,1052,1056,1084,1075,1076,1082,1085,1089,1097,1100,1103,1104,1113

# The server's processes are children of the postmaster, which collects
# their CPU time when they end: its children's time is the server's.
datadir=$(psql "$EXPWIZ_PG" -Atc "SHOW data_directory")
postmaster=$(head -n 1 "$datadir/postmaster.pid")
server_ticks() { awk '{print $16 + $17}' "/proc/$postmaster/stat"; }
tick=$(getconf CLK_TCK)

measure() {   # prints "seconds peak_kib server_seconds client_seconds"
    local before after
    before=$(server_ticks)
    /usr/bin/time -f '%e %M %U %S' -o "$work/time.txt" "$@" >/dev/null 2>&1
    sleep 0.2   # the server reaps the ended session's process
    after=$(server_ticks)
    read -r wall rss user system < "$work/time.txt"
    echo "$wall $rss $(awk "BEGIN {printf \"%.2f %.2f\", ($after - $before) / $tick, $user + $system}")"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

data=$work/demo-$assets
rm -rf "$data"
load_start=$(date +%s.%N)
"$expwiz" demo --out "$data" --assets "$assets" --postgres "$EXPWIZ_PG" --db-prefix bench --force >/dev/null
load=$(awk "BEGIN {printf \"%.1f\", $(date +%s.%N) - $load_start}")
db=$(awk -F'\t' '$1 == "Orvo Demo" {print $2}' "$data/databases.list")
# A register in use has been vacuumed: without this, the server's own
# clean-up of the freshly loaded tables (and the first reads setting their
# rows' hint bits) lands in whichever runs come first.
psql "$db" -qc "VACUUM (ANALYZE)"
args=(--data "$data" --database "Orvo Demo" --company "Harbor Logistics" --group "All Orvo Assets"
      --book Internal --fields "$fields")
sql=$("$expwiz" export "${args[@]}" --print-sql | tail -n 1)
: > "$work/e.txt"; : > "$work/p.txt"
load_before=$(cut -d' ' -f1 /proc/loadavg)
for _ in $(seq "$runs"); do   # alternate, so both see the same machine state
    measure "$expwiz" export "${args[@]}" --header --output "$work/expwiz.csv" >> "$work/e.txt"
    measure psql "$db" -c "\\copy ($sql) TO '$work/psql.csv' CSV" >> "$work/p.txt"
done
et=$(cut -d' ' -f1 "$work/e.txt" | median); em=$(cut -d' ' -f2 "$work/e.txt" | sort -n | tail -1)
es=$(cut -d' ' -f3 "$work/e.txt" | median)
pt=$(cut -d' ' -f1 "$work/p.txt" | median); pm=$(cut -d' ' -f2 "$work/p.txt" | sort -n | tail -1)
ps=$(cut -d' ' -f3 "$work/p.txt" | median)
ec=$(cut -d' ' -f4 "$work/e.txt" | median); pc=$(cut -d' ' -f4 "$work/p.txt" | median)
load_after=$(cut -d' ' -f1 /proc/loadavg)
rows=$(psql "$db" -Atc "SELECT count(*) FROM ($sql) q")
echo "assets=$assets rows=$rows load=${load}s expwiz=${et}s psql=${pt}s ratio=$(awk "BEGIN {printf \"%.2f\", $et/$pt}") \
expwiz_peak_rss=$((em / 1024))MiB psql_peak_rss=$((pm / 1024))MiB client_cpu_expwiz=${ec}s client_cpu_psql=${pc}s server_cpu_expwiz=${es}s server_cpu_psql=${ps}s \
loadavg=${load_before}..${load_after}"
