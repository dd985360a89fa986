#!/usr/bin/env bash
# quit_first_run.sh PROGRAM: on the caller's X display, starts PROGRAM for a first run, answers its
# language window with Enter, presses the main window's quit button and waits for it to end.
set -euo pipefail
"$1" & pid=$!
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
