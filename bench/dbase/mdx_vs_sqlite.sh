#!/usr/bin/env bash
# Builds the CB index over 99,999 barcodes with our engine (mdx_bench) and, beside it, runs the
# sqlite3 shell's CREATE INDEX over the same barcodes; prints both times.
# Usage: bench/dbase/mdx_vs_sqlite.sh [BUILD_DIR]   (a Release build is fairest)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/release}
if [ ! -x "$build/bench/dbase/mdx_bench" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEKRANO_GUI=OFF >/dev/null
  cmake --build "$build" -j2 --target mdx_bench >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The same barcodes as mdx_bench: (i * 7919) mod 1000003 + 1000000, i = 0 .. 99998.
{
  echo "CREATE TABLE article(num INTEGER, cb CHAR(50), lib1 CHAR(100), lib2 CHAR(100), quantite INTEGER, topp CHAR(2));"
  echo "BEGIN;"
  awk 'BEGIN { for (i = 0; i < 99999; i++) printf "INSERT INTO article(num, cb) VALUES(%d, \x27%d\x27);\n", i + 1, (i * 7919) % 1000003 + 1000000 }'
  echo "COMMIT;"
} > "$work/load.sql"
sqlite3 "$work/article.db" < "$work/load.sql"
sqlite_ms=$(sqlite3 "$work/article.db" ".timer on" "CREATE INDEX cb ON article(cb);" 2>&1 |
  awk '/Run Time/ { printf "%.1f", $4 * 1000 }')
ours_ms=$("$build/bench/dbase/mdx_bench" --benchmark_filter=BM_MakeIndex99999 --benchmark_format=csv 2>/dev/null |
  awk -F, '/BM_MakeIndex99999/ { printf "%.1f", $3 }')
echo "MakeIndex over 99,999 barcodes:          ${ours_ms} ms"
echo "sqlite3 CREATE INDEX over 99,999 barcodes: ${sqlite_ms} ms"
