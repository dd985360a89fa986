#!/usr/bin/env bash
# Builds the CB index over 99,999 barcodes with our engine (mdx_bench) and, beside it, the sqlite3
# shell's CREATE INDEX over the same barcodes; prints the median of each over REPEATS runs.
# Like for like: both index the same 50-character values (the barcode padded with spaces, as the
# C(50) field holds it), both tables live in the temporary folder and are warm in the page cache,
# and neither side syncs to disk (MakeIndex does not; sqlite3 runs with synchronous=OFF). Only the
# index build is timed: sqlite3 drops the index between runs outside its timer.
# Usage: bench/dbase/mdx_vs_sqlite.sh [BUILD_DIR] [REPEATS]   (a Release build is fairest)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/bench}
repeats=${2:-15}
if [ ! -x "$build/bench/dbase/mdx_bench" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEKRANO_GUI=OFF >/dev/null
  cmake --build "$build" -j2 --target mdx_bench >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The same barcodes as mdx_bench: (i * 7919) mod 1000003 + 1000000, i = 0 .. 99998.
{
  echo "CREATE TABLE article(num INTEGER, cb CHAR(50), lib1 CHAR(100), lib2 CHAR(100), quantite INTEGER, topp CHAR(2));"
  echo "BEGIN;"
  awk 'BEGIN { for (i = 0; i < 99999; i++) printf "INSERT INTO article(num, cb) VALUES(%d, \x27%-50d\x27);\n", i + 1, (i * 7919) % 1000003 + 1000000 }'
  echo "COMMIT;"
} > "$work/load.sql"
sqlite3 "$work/article.db" < "$work/load.sql"
[ "$(sqlite3 "$work/article.db" "SELECT count(DISTINCT cb), min(length(cb)), max(length(cb)) FROM article;")" = "99999|50|50" ]

# One shell session: a first build warms the table's pages, then REPEATS timed builds.
{
  echo "PRAGMA synchronous=OFF;"
  echo "CREATE INDEX cb ON article(cb); DROP INDEX cb;"
  for _ in $(seq "$repeats"); do
    echo ".timer on"
    echo "CREATE INDEX cb ON article(cb);"
    echo ".timer off"
    echo "DROP INDEX cb;"
  done
} | sqlite3 "$work/article.db" > "$work/sqlite.txt"
# "Run Time: real R user U sys S", in seconds.
sqlite_real=$(awk '/Run Time/ { print $4 * 1000 }' "$work/sqlite.txt" | median)
sqlite_cpu=$(awk '/Run Time/ { print ($6 + $8) * 1000 }' "$work/sqlite.txt" | median)

"$build/bench/dbase/mdx_bench" --benchmark_filter=BM_MakeIndex99999 --benchmark_format=csv \
  --benchmark_repetitions="$repeats" 2>/dev/null | grep '^"BM_MakeIndex99999",' > "$work/ours.csv"
ours_real=$(awk -F, '{ print $3 }' "$work/ours.csv" | median)
ours_cpu=$(awk -F, '{ print $4 }' "$work/ours.csv" | median)

# The machine may be shared: wall time counts waiting for a core, processor time does not.
echo "medians of ${repeats} builds of the index of 99,999 barcodes, in ms:"
echo "                        wall     processor"
printf "MakeIndex            %8s  %8s\n" "$ours_real" "$ours_cpu"
printf "sqlite3 CREATE INDEX %8s  %8s\n" "$sqlite_real" "$sqlite_cpu"
awk -v a="$ours_real" -v b="$sqlite_real" -v c="$ours_cpu" -v d="$sqlite_cpu" \
  'BEGIN { printf "ratio ours / sqlite3 %8.2f  %8.2f\n", a / b, c / d }'
