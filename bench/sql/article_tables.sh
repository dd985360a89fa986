# Sourced by the sqlite3 comparisons: the same 99,999 records (num, cb, lib1, lib2, quantite, topp)
# as $work/rows.tsv, as the table of vekrano-sql in the folder $work/full and as the sqlite3 database
# $work/article.db with an index on the barcode. Needs $work; takes the vekrano-sql program as $1.

schema="CREATE TABLE article (num INTEGER, cb TEXT, lib1 TEXT, lib2 TEXT, quantite INTEGER, topp TEXT);
CREATE INDEX cb ON article (cb);"

make_article_tables() {
  awk 'BEGIN { for (n = 1; n <= 99999; n++)
    printf "%d\tCB%d\tline %d\t\t%d\t%s\n", n, (n * 7919) % 99999, n, n % 10, (n % 3 == 0 ? "O" : "N") }' \
    > "$work/rows.tsv"
  mkdir "$work/full"
  awk -F'\t' '{ printf "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (%s,\"%s\",\"%s\",\"%s\",%s,\"%s\")\n",
    $1, $2, $3, $4, $5, $6 }' "$work/rows.tsv" | "$1" "$work/full" > /dev/null
  sqlite3 "$work/article.db" <<SQL
$schema
.mode tabs
.import $work/rows.tsv article
SQL
}
