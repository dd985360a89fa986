#!/bin/sh
# Runs the application's three heaviest statements with vekrano-sql and with the sqlite3 shell over
# the same 99,999 records, and prints the median wall time of each over RUNS runs (after the runs
# that count the rows, which warm the files), with the row counts both printed.
# Usage: compare_sqlite.sh BUILD_DIR [RUNS]
set -eu
build=${1:?usage: compare_sqlite.sh BUILD_DIR [RUNS]}
runs=${2:-7}
shell="$build/src/app/vekrano-sql"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same records for both: num, cb, lib1, lib2, quantite, topp.
awk 'BEGIN { for (n = 1; n <= 99999; n++)
  printf "%d\tCB%d\tline %d\t\t%d\t%s\n", n, (n * 7919) % 99999, n, n % 10, (n % 3 == 0 ? "O" : "N") }' \
  > "$work/rows.tsv"

awk -F'\t' '{ printf "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (%s,\"%s\",\"%s\",\"%s\",%s,\"%s\")\n", $1, $2, $3, $4, $5, $6 }' \
  "$work/rows.tsv" | "$shell" "$work" > /dev/null

sqlite3 "$work/article.db" <<SQL
CREATE TABLE article (num INTEGER, cb TEXT, lib1 TEXT, lib2 TEXT, quantite INTEGER, topp TEXT);
CREATE INDEX cb ON article (cb);
PRAGMA case_sensitive_like = ON;
.mode tabs
.import $work/rows.tsv article
SQL

# Both sets of files written out, so that no write-back runs beside the measured runs.
sync

# Wall time of one run in seconds, output thrown away.
time_of() {
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

median() { sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

for statement in \
  'select * from article order by num' \
  "select * from article where cb like 'CB1%' and topp='O' order by cb" \
  'select max(num) as nb from article'; do
  # vekrano-sql prints a header line; sqlite3 does not.
  mine_rows=$(( $("$shell" "$work" "$statement" | wc -l) - 1 ))
  their_rows=$(sqlite3 "$work/article.db" "PRAGMA case_sensitive_like = ON; $statement;" | wc -l)
  # The two alternate, so that what else the machine does weighs on both alike.
  : > "$work/mine" && : > "$work/theirs"
  for _ in $(seq "$runs"); do
    time_of "$shell" "$work" "$statement" >> "$work/mine"
    time_of sqlite3 "$work/article.db" "PRAGMA case_sensitive_like = ON; $statement;" >> "$work/theirs"
  done
  printf '%s\n  vekrano-sql %6.3f s (%d rows)   sqlite3 %6.3f s (%d rows)\n' \
    "$statement" "$(median < "$work/mine")" "$mine_rows" "$(median < "$work/theirs")" "$their_rows"
done
