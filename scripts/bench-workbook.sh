#!/usr/bin/env bash
# The workbook export at size, and a spreadsheet program as its judge; not
# part of the test suite (minutes of run time, LibreOffice not a dependency).
#  1. 1,000,000 demo assets (about 1.1 million rows): time and peak memory of
#     --format xlsx, the sheets and their row counts, which must add up.
#  2. When LibreOffice is installed (soffice), it converts a workbook of the
#     default demo to CSV, and every cell is compared with expwiz's own CSV of
#     the same export (ISO dates, en_US numbers).
# Usage: scripts/bench-workbook.sh [ASSETS] (default 1000000)
# EXPWIZ_BUILD_DIR=DIR uses programs already built there.
set -euo pipefail
cd "$(dirname "$0")/.."
assets=${1:-1000000}
if [ -n "${EXPWIZ_BUILD_DIR:-}" ]; then
    expwiz=$EXPWIZ_BUILD_DIR/bin/expwiz
else
    bash scripts/install-deps.sh
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
    bash scripts/build.sh build -- expwiz >/dev/null
    expwiz=$PWD/build/bin/expwiz
fi
work=${EXPWIZ_BENCH_DIR:-$PWD/out/bench}
mkdir -p "$work"
fields=1004,1012,1002,1008,1011,1029,1006,1003,1001,1014,1010,1030,1036,1046,1028,1007,1048,1049,1052,1056,1084,1075,1076,1082,1085,1089,1097,1100,1103,1104,1113

data=$work/demo-$assets
[ -f "$data/host.conf" ] || "$expwiz" demo --out "$data" --assets "$assets" --force >/dev/null
args=(--data "$data" --database "Orvo Demo" --company "Harbor Logistics" --group "All Orvo Assets"
      --book Internal --fields "$fields" --header --company-line)
/usr/bin/time -f '%e %M' -o "$work/time.txt" "$expwiz" export "${args[@]}" --format xlsx \
    --output "$work/big.xlsx" >/dev/null
read -r seconds kib < "$work/time.txt"
echo "assets=$assets xlsx: ${seconds}s, peak RSS $((kib / 1024)) MiB, $(($(stat -c %s "$work/big.xlsx") / 1048576)) MiB file"
# The row count of each sheet from its dimension, without loading the cells.
/usr/bin/python3 - "$work/big.xlsx" <<'PY'
import re, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    sheets = sorted(n for n in z.namelist() if n.startswith('xl/worksheets/sheet'))
    rows = []
    for name in sheets:
        head = z.open(name).read(2048).decode()
        rows.append(int(re.search(r'<dimension ref="A1:[A-Z]+(\d+)"', head).group(1)))
print('sheets:', len(rows), 'rows per sheet:', rows, 'data rows:', sum(r - 2 for r in rows))
PY

command -v soffice >/dev/null || { echo "soffice not installed: no LibreOffice check"; exit 0; }
small=$work/demo-calc
[ -f "$small/host.conf" ] || "$expwiz" demo --out "$small" --force >/dev/null
args=(--data "$small" --database "Orvo Demo" --company "Harbor Logistics" --group "All Orvo Assets"
      --book Internal --fields "$fields" --header --company-line)
"$expwiz" export "${args[@]}" --locale en_US --date-format iso --encoding UTF-8 --output "$work/calc.csv" >/dev/null
"$expwiz" export "${args[@]}" --format xlsx --output "$work/calc.xlsx" >/dev/null
rm -rf "$work/calc-out"
soffice --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,true' \
    --outdir "$work/calc-out" "$work/calc.xlsx" >/dev/null 2>&1
/usr/bin/python3 - "$work/calc.csv" "$work/calc-out/calc.csv" <<'PY'
import csv, sys
ours = list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))
calc = list(csv.reader(open(sys.argv[2], newline='', encoding='utf-8')))
def same(a, b):
    b = b[:-1] if b.endswith('%') else b   # a percentage as shown: 12.50000%
    try:
        return a == b or float(a) == float(b)
    except ValueError:
        return False
diff = [(r, c, a, b) for r, (x, y) in enumerate(zip(ours, calc))
        for c, (a, b) in enumerate(zip(x, y)) if not same(a, b)]
print('LibreOffice read', len(calc), 'rows;', len(ours), 'in the CSV;', len(diff), 'cells differ', diff[:5])
PY
