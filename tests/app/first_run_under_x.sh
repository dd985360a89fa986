#!/usr/bin/env bash
# Starts the real program in an empty directory on a virtual X server, answers the language
# window, presses the quit button and checks the files a first run leaves behind.
set -euo pipefail
program="$1"
drive="$(cd "$(dirname "$0")/../support" && pwd)/quit_first_run.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# The program directory is the executable's, so the program is copied, not linked.
cp "$program" "$dir/vekrano"
cd "$dir"
# The suite runs with the offscreen platform; this program needs the X server. Each test that
# starts an X server searches from its own display number, so that two started at once never
# take the same one.
QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -n 100 \
  "$drive" ./vekrano
for f in article.dbf article.mdx VEKRANO.PAR; do
  [ -f "$f" ] || { echo "missing $f"; exit 1; }
done
size=$(stat -c %s VEKRANO.PAR)
[ "$size" -eq 116 ] || { echo "VEKRANO.PAR is $size bytes"; exit 1; }
echo "first run left article.dbf, article.mdx and a 116-byte VEKRANO.PAR"
