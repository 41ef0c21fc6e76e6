#!/usr/bin/env bash
# Installs what is missing, builds what a user runs (the expwiz command line,
# the orvo host application and the add-in plugin), creates the demo host
# data folder with the add-in registered in it, and exports one company's
# assets from it to a CSV file.
#
# EXPWIZ_BUILD_DIR=DIR uses programs already built in DIR instead of building;
# EXPWIZ_DEMO_DATA and EXPWIZ_DEMO_CSV choose where the folder and file go.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -n "${EXPWIZ_BUILD_DIR:-}" ]; then
    build=$EXPWIZ_BUILD_DIR
else
    bash scripts/install-deps.sh
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
    bash scripts/build.sh build -- expwiz orvo expwiz_plugin >/dev/null
    build=build
fi

expwiz=$build/bin/expwiz
data=${EXPWIZ_DEMO_DATA:-$PWD/demo-data}
csv=${EXPWIZ_DEMO_CSV:-$PWD/out/harbor-logistics.csv}
mkdir -p "$(dirname "$csv")"
# --force replaces earlier demo data only (never another folder) and keeps
# the add-ins registered in it.
"$expwiz" demo --out "$data" --force
"$build/bin/orvo" --data "$data" --register "$build/lib/libexpwiz.so" >/dev/null
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
echo
echo "The add-in is registered in $data. Open the host with the export wizard:"
printf '  %q --data %q --start-command\n' "$build/bin/orvo" "$(realpath --relative-to=. "$data")"
