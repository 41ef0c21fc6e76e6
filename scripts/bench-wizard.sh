#!/usr/bin/env bash
# Side-by-side run: an export through the wizard's own widgets (offscreen,
# walked step by step by bench/WizardExportDriver.cpp) against `expwiz export`
# of the same 31-field map on the same demo data. The two alternate, so both
# see the same machine state; the wall times of the whole programs are
# compared (medians), and the two files must be identical.
# Usage: scripts/bench-wizard.sh [ASSETS] [RUNS]   (defaults: 1000000 and 3)
set -euo pipefail
cd "$(dirname "$0")/.."
assets=${1:-1000000}
runs=${2:-3}
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
bash scripts/build.sh build -DEXPWIZ_BENCH=ON -- expwiz wizard_export >/dev/null
bin=$PWD/build/bin
work=${EXPWIZ_BENCH_DIR:-$PWD/out/bench}
mkdir -p "$work"
# The wizard reads and may write the user's settings file: not the real one.
export XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

# The map of scripts/bench.sh: about thirty fields of all types.
fields=1004,1012,1002,1008,1011,1029,1006,1003,1001,1014,1010,1030,1036,1046,1028,1007,1048,1049,1052,1056,1084,1075,1076,1082,1085,1089,1097,1100,1103,1104,1113
company="Harbor Logistics" group="All Orvo Assets" book=Internal

data=$work/demo-$assets
[ -f "$data/host.conf" ] || "$bin/expwiz" demo --out "$data" --assets "$assets" --force >/dev/null

measure() {   # appends "wall_seconds cpu_seconds" of a command to a file
    local into=$1; shift
    if ! /usr/bin/time -f '%e %U %S' -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt"; then
        cat "$work/err.txt" >&2
        exit 1
    fi
    awk '{printf "%s %.2f\n", $1, $2 + $3}' "$work/time.txt" >> "$into"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

: > "$work/wizard.txt"; : > "$work/cli.txt"
for _ in $(seq "$runs"); do
    measure "$work/wizard.txt" "$bin/wizard_export" "$data" "$company" "$group" "$book" "$fields" \
        "$work/wizard.csv" --header
    measure "$work/cli.txt" "$bin/expwiz" export --data "$data" --database "Orvo Demo" --company "$company" \
        --group "$group" --book "$book" --fields "$fields" --header --output "$work/cli.csv"
done
if ! cmp -s "$work/wizard.csv" "$work/cli.csv"; then
    echo "bench-wizard: the wizard's file differs from the command line's" >&2
    exit 1
fi
wt=$(cut -d' ' -f1 "$work/wizard.txt" | median); ct=$(cut -d' ' -f1 "$work/cli.txt" | median)
wc_=$(cut -d' ' -f2 "$work/wizard.txt" | median); cc=$(cut -d' ' -f2 "$work/cli.txt" | median)
echo "assets=$assets lines=$(wc -l < "$work/cli.csv") runs=$runs wall: wizard $(cut -d' ' -f1 "$work/wizard.txt" | tr '\n' ' ')cli $(cut -d' ' -f1 "$work/cli.txt" | tr '\n' ' ')"
echo "cpu medians: wizard=${wc_}s cli=${cc}s"
echo "wizard=${wt}s cli=${ct}s ratio=$(awk "BEGIN {printf \"%.2f\", $wt/$ct}")"
