#!/usr/bin/env bash
# records_keyboard_drive.sh PROGRAM: on the caller's X display, starts PROGRAM over a table of
# three records A, B, C and drives the records page with the keyboard alone: Down and Enter open
# the second row, whose barcode gets a "Z" after the text the editor shows; Tab goes to "Ajouter", Enter adds "NEW". Then quits.
set -euo pipefail
"$1" & pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

# The first window named so, waited for up to 30 s.
find_window() {
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "no window $1" >&2
  exit 1
}
# Waits until no visible window bears the name.
wait_gone() {
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  echo "window $1 stays open" >&2
  exit 1
}
editor='^Creation/Modification fiche code barre$'

main=$(find_window '^Vekrano$')
sleep 1
xdotool windowfocus --sync "$main"
xdotool key Down Return
find_window "$editor" >/dev/null
sleep 0.5
xdotool key End type Z
xdotool key Return
wait_gone "$editor"
xdotool windowfocus --sync "$main"
xdotool key Tab Return
find_window "$editor" >/dev/null
sleep 0.5
xdotool type NEW
xdotool key Return
wait_gone "$editor"

eval "$(xdotool getwindowgeometry --shell "$main")"
for _ in $(seq 12); do
  xdotool mousemove --window "$main" $((WIDTH - 20)) $((HEIGHT - 38)) click 1 || true
  for _ in $(seq 25); do kill -0 "$pid" 2>/dev/null || break 2; sleep 0.2; done
done
if kill -0 "$pid" 2>/dev/null; then echo "the quit button did not close the window"; exit 1; fi
wait "$pid"
