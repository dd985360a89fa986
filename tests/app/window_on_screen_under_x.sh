#!/usr/bin/env bash
# window_on_screen_under_x.sh PROGRAM: starts the real program under a window manager on a
# virtual X server, at 100 % on a 1280 x 720 screen and at QT_SCALE_FACTOR=2 on a 2560 x 1440
# one, and checks that the main window's whole frame, title bar included, is on the screen and
# that its minimum size with the frame fits the screen.
set -euo pipefail
program="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# The program directory is the executable's, so the program is copied, not linked. A settings
# file in French keeps the first-run language window away.
cp "$program" "$dir/vekrano"
{ printf '\003VKP\001\000\000\000'; head -c 108 /dev/zero; } > "$dir/VEKRANO.PAR"

cat > "$dir/measure.sh" <<'INNER'
#!/usr/bin/env bash
# On the caller's display: a window manager, the program, and the frame measured.
set -euo pipefail
width=$1 height=$2 scale=$3
openbox --sm-disable >/dev/null 2>&1 & wm=$!
sleep 1
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale ./vekrano & pid=$!
trap 'kill $pid $wm 2>/dev/null || true' EXIT
main=
for _ in $(seq 300); do
  main=$(xdotool search --onlyvisible --name '^Vekrano$' 2>/dev/null | head -1) || true
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || { echo "no main window"; exit 1; }
# The window manager frames the window and says how thick the frame is.
extents=
for _ in $(seq 100); do
  extents=$(xprop -id "$main" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$extents" ] && break
  sleep 0.1
done
[ -n "$extents" ] || { echo "the window manager drew no frame"; exit 1; }
sleep 1
IFS=, read -r left right top bottom <<<"$extents"
x=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(xwininfo -id "$main" | sed -n 's/.*Absolute upper-left Y: *//p')
w=$(xwininfo -id "$main" | sed -n 's/.*Width: *//p')
h=$(xwininfo -id "$main" | sed -n 's/.*Height: *//p')
read -r minw minh < <(xprop -id "$main" WM_NORMAL_HINTS |
                      sed -n 's/.*minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p')
frame_left=$((x - left)) frame_top=$((y - top))
frame_right=$((x + w + right)) frame_bottom=$((y + h + bottom))
echo "${width}x${height} at ${scale}: frame ${frame_left},${frame_top} to" \
     "${frame_right},${frame_bottom}; minimum ${minw:-?}x${minh:-?} plus frame $extents"
[ "$frame_left" -ge 0 ] && [ "$frame_top" -ge 0 ] && [ "$frame_right" -le "$width" ] &&
  [ "$frame_bottom" -le "$height" ] || { echo "the frame is not on the screen"; exit 1; }
[ -n "${minw:-}" ] || { echo "no minimum size"; exit 1; }
[ $((minw + left + right)) -le "$width" ] && [ $((minh + top + bottom)) -le "$height" ] ||
  { echo "the minimum size does not fit the screen"; exit 1; }
INNER
chmod +x "$dir/measure.sh"
cd "$dir"
# Each test that starts an X server searches from its own display number, so that two started
# at once never take the same one.
for screen in "1280 720 1" "2560 1440 2"; do
  read -r width height scale <<<"$screen"
  ASAN_OPTIONS=detect_leaks=0 timeout 120 xvfb-run -a -n 400 -s "-screen 0 ${width}x${height}x24" \
    ./measure.sh "$width" "$height" "$scale"
done
