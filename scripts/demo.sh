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
"$expwiz" demo --out "$data" --force
"$expwiz" list --data "$data"
