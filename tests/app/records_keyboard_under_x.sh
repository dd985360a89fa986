#!/usr/bin/env bash
# records_keyboard_under_x.sh VEKRANO VEKRANO_SQL: the real program on a virtual X server, its
# records page driven with the keyboard alone; the table then holds what the keys asked for.
set -euo pipefail
program="$1"
shell="$2"
drive="$(cd "$(dirname "$0")/../support" && pwd)/records_keyboard_drive.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$program" "$dir/vekrano"
cd "$dir"
# Settings of an earlier run in French, so that no language window comes up.
{ printf '\003VKP\001\000\000\000\000\000\000\000'; head -c 104 /dev/zero; } > VEKRANO.PAR
for n in 1 2 3; do
  cb=$(printf '\\x%x' $((64 + n)))
  "$shell" . "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES ($n,\"$(printf "$cb")\",\"line $n\", \"\", 1, \"O\" )" >/dev/null
done
QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -n 120 "$drive" ./vekrano
expected=$'num\tcb\n1\tA\n2\tBZ\n3\tC\n4\tNEW'
actual=$("$shell" . 'select num, cb from article order by num')
if [ "$actual" != "$expected" ]; then
  echo "the table holds:"; echo "$actual"; exit 1
fi
echo "Enter opened the second row, Tab reached Ajouter: the table holds A, BZ, C, NEW"
