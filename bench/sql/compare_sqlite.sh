#!/bin/sh
# Runs the application's three heaviest statements with vekrano-sql and with the sqlite3 shell over
# the same 99,999 records, and prints the wall time of each.
# Usage: compare_sqlite.sh BUILD_DIR
set -eu
build=${1:?usage: compare_sqlite.sh BUILD_DIR}
shell="$build/src/sql/vekrano-sql"
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

time_of() {
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

for statement in \
  'select * from article order by num' \
  'select * from article where cb like "CB1%" and topp="O" order by cb' \
  'select max(num) as nb from article'; do
  mine=$(time_of "$shell" "$work" "$statement")
  theirs=$(time_of sqlite3 "$work/article.db" "PRAGMA case_sensitive_like = ON; $statement;")
  printf '%-72s vekrano-sql %6.3f s   sqlite3 %6.3f s\n' "$statement" "$mine" "$theirs"
done
