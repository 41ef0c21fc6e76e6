#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo host data folder and
# exports one company's assets from it to a CSV file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
bash scripts/build.sh build -- expwiz >/dev/null

expwiz=build/bin/expwiz
data=${EXPWIZ_DEMO_DATA:-$PWD/demo-data}
csv=${EXPWIZ_DEMO_CSV:-$PWD/out/harbor-logistics.csv}
mkdir -p "$(dirname "$csv")"
"$expwiz" demo --out "$data" --force
"$expwiz" list --data "$data"
echo
# System No, Description, Acquisition Date, Department, Location, Acquisition
# Value, Current Accum Depr, Net Book Value, Depreciation Method, Estimated Life
"$expwiz" export --data "$data" --database "Orvo Demo" --company "Harbor Logistics" \
    --group "All Orvo Assets" --book "Internal" \
    --fields 1004,1012,1002,1011,1029,1075,1082,1089,1097,1100 \
    --header --company-line --output "$csv"
echo
echo "First lines of $csv:"
head -n 5 "$csv"
