#!/usr/bin/env bash
# Starts the real program in an empty directory on a virtual X server, answers the language
# window, presses the quit button and checks the files a first run leaves behind.
set -euo pipefail
program="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# The program directory is the executable's, so the program is copied, not linked.
cp "$program" "$dir/vekrano"
cd "$dir"
cat > drive.sh <<'DRIVE'
set -euo pipefail
# The suite runs with the offscreen platform; this program needs the X server.
QT_QPA_PLATFORM=xcb ./vekrano & pid=$!
choice=$(xdotool search --sync --name 'Langue / Language selection' | head -1)
xdotool windowfocus --sync "$choice" key Return
# The language window is going away meanwhile, and a search that meets it as it goes fails:
# search again until the main window is found.
main=
for _ in $(seq 300); do
  main=$(xdotool search --name '^Vekrano$' 2>/dev/null | head -1) || true
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || { echo "no main window"; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
# The quit button sits at the bottom right, above the status bar. On a busy machine the first
# click may come before the window answers: it is given again every 5 s, for a minute.
for _ in $(seq 12); do
  xdotool mousemove --window "$main" $((WIDTH - 20)) $((HEIGHT - 38)) click 1 || true
  for _ in $(seq 25); do kill -0 "$pid" 2>/dev/null || break 2; sleep 0.2; done
done
if kill -0 "$pid" 2>/dev/null; then kill "$pid"; echo "the quit button did not close the window"; exit 1; fi
wait "$pid"
DRIVE
# Each test that starts an X server searches from its own display number, so that two started
# at once never take the same one.
ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -n 100 bash drive.sh
for f in article.dbf article.mdx VEKRANO.PAR; do
  [ -f "$f" ] || { echo "missing $f"; exit 1; }
done
size=$(stat -c %s VEKRANO.PAR)
[ "$size" -eq 116 ] || { echo "VEKRANO.PAR is $size bytes"; exit 1; }
echo "first run left article.dbf, article.mdx and a 116-byte VEKRANO.PAR"
