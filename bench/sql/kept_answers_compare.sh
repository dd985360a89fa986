#!/bin/bash
# Whole-process CPU time of statements over 99,999 records for two builds of vekrano-sql (one
# without the answers and index check kept across processes, one with them) beside the sqlite3
# shell over the same records, the three alternating run by run in one run of this script.
# Prints for each statement the median CPU time (user + system) of RUNS runs of each and the
# ratios to sqlite3. The kept facts go to a fresh cache folder.
# Usage: kept_answers_compare.sh BEFORE_BUILD_DIR AFTER_BUILD_DIR [RUNS]
set -eu
before="${1:?usage: kept_answers_compare.sh BEFORE_BUILD_DIR AFTER_BUILD_DIR [RUNS]}/src/app/vekrano-sql"
after="${2:?usage: kept_answers_compare.sh BEFORE_BUILD_DIR AFTER_BUILD_DIR [RUNS]}/src/app/vekrano-sql"
runs=${3:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME="$work/cache"

source "$(dirname "$0")/article_tables.sh"
make_article_tables "$after"
# The first open after a write compares every key and marks the index file as agreeing; facts
# are kept about files left still for two seconds since.
"$after" "$work/full" 'select count(*) as nb from article' > /dev/null
sync
sleep 2.5

# Appends the CPU time (user + system, in seconds) of the command to the file $1.
cpu_into() {
  local into=$1 TIMEFORMAT='%3U %3S'
  shift
  { time "$@" > /dev/null 2> /dev/null; } 2> "$work/time"
  awk '{ printf "%.4f\n", $1 + $2 }' "$work/time" >> "$into"
}
median() { sort -n "$1" | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
ratio() { echo "scale=2; $1 / ($2 + 0.0001)" | bc; }

printf '%-70s %9s %9s %9s %7s %7s\n' statement before after sqlite3 b/sq a/sq
for statement in \
  'select max(num) as nb from article' \
  'select count(*) as nb from article' \
  'select * from article order by num' \
  "select * from article where cb like 'CB1%' and topp='O' order by cb" \
  'select * from article order by quantite desc , cb' \
  'select * from article order by topp , cb'; do
  # Outputs must agree before anything is timed.
  if [ "$("$before" "$work/full" "$statement" | md5sum)" != "$("$after" "$work/full" "$statement" | md5sum)" ]; then
    echo "the two builds answer $statement differently" >&2
    exit 1
  fi
  : > "$work/before" && : > "$work/after" && : > "$work/sqlite"
  for _ in $(seq "$runs"); do
    cpu_into "$work/before" "$before" "$work/full" "$statement"
    cpu_into "$work/after" "$after" "$work/full" "$statement"
    cpu_into "$work/sqlite" sqlite3 "$work/article.db" "PRAGMA case_sensitive_like = ON; $statement;"
  done
  b=$(median "$work/before") a=$(median "$work/after") s=$(median "$work/sqlite")
  printf '%-70s %9s %9s %9s %7s %7s\n' "$statement" "$b" "$a" "$s" "$(ratio "$b" "$s")" "$(ratio "$a" "$s")"
done
