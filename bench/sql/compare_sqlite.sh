#!/bin/bash
# Runs the application's heaviest statements with vekrano-sql and with the sqlite3 shell over the
# same 99,999 records, then the import pattern (one "select max(num) as nb from article", then for
# each of 10,000 lines the INSERT the import sends, the number known from then on since the import
# holds the append lock) through one process of each into an empty table, sqlite3 inside one
# transaction. The two programs alternate run by run, so that what else
# the machine does weighs on both alike; for each it prints the median wall time and the median
# CPU time (user + system) of RUNS runs, the row counts, and the ratios vekrano-sql / sqlite3.
# Prefer the CPU ratio when the machine is busy.
# Usage: compare_sqlite.sh BUILD_DIR [RUNS]
set -eu
build=${1:?usage: compare_sqlite.sh BUILD_DIR [RUNS]}
runs=${2:-7}
shell="$build/src/app/vekrano-sql"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What vekrano-sql keeps about the tables goes with them, not into the user's cache folder.
export XDG_CACHE_HOME="$work/cache"

# The same records for both.
source "$(dirname "$0")/article_tables.sh"
make_article_tables "$shell"

# The new-record statement exactly as the editor and the import write it, blanks included.
new_record_lines() {
  awk -F'\t' '{ printf "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (%s,\"%s\",\"%s\", \"%s\", %s, \"%s\" )\n", $1, $2, $3, $4, $5, $6 }' "$@"
}

# The import pattern over 10,000 lines shaped as a CSV import gives them, and the empty tables it
# starts from (vekrano-sql creates its table and index when missing).
awk 'BEGIN { for (n = 1; n <= 10000; n++)
  printf "%d\t3760%d\tArticle %d lot %d\tRayon %d\t%d\tO\n", n, 12345678 + n * 7919, n % 5000, n, n % 40, 1 + n % 9 }' |
  new_record_lines | awk 'NR == 1 { print "select max(num) as nb from article" } { print }' > "$work/import.sql"
{ echo 'BEGIN;'; sed 's/$/;/' "$work/import.sql"; echo 'COMMIT;'; } > "$work/import_sqlite.sql"
mkdir "$work/empty"
"$shell" "$work/empty" 'select count(*) as nb from article' > /dev/null
sqlite3 "$work/empty.db" "$schema"

# Both sets of files written out, so that no write-back runs beside the measured runs. Then the
# tables are left still for a while, as a user's table lies between sessions: vekrano-sql keeps
# what it worked out about files only once they have not changed for two seconds, and the first
# open after a write checks every key of the index first.
"$shell" "$work/full" 'select count(*) as nb from article' > /dev/null
sync
sleep 2.5

# Runs a command with its output thrown away and appends "wall cpu" in seconds to the file $1.
# CPU time is the command's user + system time as bash's `time` reports it, to the millisecond
# (the shell's `times` counts in hundredths, as coarse as the shortest statements take).
time_into() {
  into=$1
  shift
  local TIMEFORMAT='%3R %3U %3S'
  { time "$@" > /dev/null 2> /dev/null; } 2> "$work/time"
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$work/time" >> "$into"
}

# Median of column $1 of the file $2.
median() { awk -v c="$1" '{ print $c }' "$2" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

report() {
  mine_wall=$(median 1 "$work/mine")
  mine_cpu=$(median 2 "$work/mine")
  their_wall=$(median 1 "$work/theirs")
  their_cpu=$(median 2 "$work/theirs")
  printf '%s\n  vekrano-sql %7.3f s wall %7.3f s cpu (%s)   sqlite3 %7.3f s wall %7.3f s cpu (%s)\n' \
    "$1" "$mine_wall" "$mine_cpu" "$2" "$their_wall" "$their_cpu" "$3"
  printf '  ratio vekrano-sql / sqlite3: wall %s   cpu %s\n' \
    "$(echo "scale=2; $mine_wall / $their_wall" | bc)" \
    "$(echo "scale=2; $mine_cpu / ($their_cpu + 0.0001)" | bc)"
}

run_vekrano() { "$shell" "$work/full" "$1"; }
run_sqlite() { sqlite3 "$work/article.db" "PRAGMA case_sensitive_like = ON; $1;"; }

for statement in \
  'select * from article order by num' \
  "select * from article where cb like 'CB1%' and topp='O' order by cb" \
  'select * from article order by quantite desc , cb' \
  'select * from article order by topp , cb' \
  'select max(num) as nb from article'; do
  # vekrano-sql prints a header line; sqlite3 does not.
  mine_rows=$(( $(run_vekrano "$statement" | wc -l) - 1 ))
  their_rows=$(run_sqlite "$statement" | wc -l)
  : > "$work/mine" && : > "$work/theirs"
  for _ in $(seq "$runs"); do
    time_into "$work/mine" run_vekrano "$statement"
    time_into "$work/theirs" run_sqlite "$statement"
  done
  report "$statement" "$mine_rows rows" "$their_rows rows"
done

# Each run starts from a copy of the empty table; the copy is not timed.
import_vekrano() { "$shell" "$work/run" < "$work/import.sql"; }
import_sqlite() { sqlite3 "$work/run.db" < "$work/import_sqlite.sql"; }
: > "$work/mine" && : > "$work/theirs"
for _ in $(seq "$runs"); do
  rm -rf "$work/run" && cp -r "$work/empty" "$work/run"
  time_into "$work/mine" import_vekrano
  rm -f "$work/run.db" && cp "$work/empty.db" "$work/run.db"
  time_into "$work/theirs" import_sqlite
done
mine_count=$("$shell" "$work/run" 'select count(*) as nb from article' | tail -n 1)
their_count=$(sqlite3 "$work/run.db" 'select count(*) from article')
report 'import pattern: select max(num) as nb from article, then 10,000 x INSERT ...' \
  "$mine_count records" "$their_count records, one transaction"
