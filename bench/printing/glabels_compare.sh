#!/usr/bin/env bash
# Times gLabels' batch tool (Debian package glabels) on the same labels as label_render_bench:
# records of 5 labels each, Code 39 barcode and two text lines, on a 24-label A4 sheet (3 x 8),
# into one PDF file; then runs our benchmark on the same run and prints both speeds, both peak
# memories and the ratio. Both programs are timed as whole processes by /usr/bin/time; the ratio
# is taken on processor time (user + system), since wall time on a shared machine mostly measures
# the other users; the wall-time ratio is printed beside it.
# Usage: bench/printing/glabels_compare.sh [build folder] [labels: 240, 1000 or 10000]
set -euo pipefail

build=${1:-build/rel}
labels=${2:-10000}
ours="$build/bench/printing/label_render_bench"
labels_per_record=5
labels_per_sheet=24

case "$labels" in
  240 | 1000 | 10000) ;;
  *) echo "labels must be 240, 1000 or 10000 (the runs of label_render_bench)"; exit 1 ;;
esac
if ! command -v glabels-3-batch >/dev/null; then
  echo "glabels-3-batch is not installed (Debian package glabels, which our scripts do not install)."
  echo "Install it to compare; nothing was timed."
  exit 1
fi
for tool in pdfinfo pdftotext; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing (Debian package poppler-utils): the gLabels output cannot be checked."
    exit 1
  fi
done
if [ ! -x "$ours" ]; then
  echo "$ours is missing: build the target label_render_bench first (Release build)."
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The benchmark's records, one line each, printed 5 times by gLabels' copies. gLabels lays the
# copies out record after record (1, 2, ... 1, 2, ...) where we print a record's 5 labels
# together: the same labels on the same number of sheets, in another order. Repeating each line
# 5 times instead would keep our order but makes gLabels twenty times slower (its time grows far
# faster than the merged records: 180 s and 1.9 GB for 10,000 of them), an unfair peer.
records=$(((labels + labels_per_record - 1) / labels_per_record))
for ((i = 0; i < records; i++)); do
  number=$((1000000 + i))
  echo "VK-$number 01.2,Article $number,Rayon $((i % 40)) / $number"
done >"$work/labels.csv"

# gLabels reads every object's affine matrix (a0..a5) and every span's weight and slant: left
# out, the objects are scaled to nothing and the pages come out blank. The label frame is
# 70 x 37.125 mm; bars start 9.76 mm from its left and 5 mm from its top, text lines at 10 mm
# from the left, 22 and 27 mm from the top. The barcode box is our 15-character symbol's width
# (271 narrow widths of 0.254 mm), 6.35 mm bars plus the human-readable line; the 9 mm side
# waste keeps gLabels from clipping the symbol at the label's right edge.
identity='a0="1" a1="0" a2="0" a3="1" a4="0" a5="0" shadow="False"'
span='font_family="Arial" font_size="10" font_weight="Regular" font_italic="False" color="0x000000ff" line_spacing="1"'
cat >"$work/labels.glabels" <<XML
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Vekrano" part="etiquette5" size="A4" description="24 labels (3X8)">
    <Meta category="label"/>
    <Label-rectangle id="0" width="70mm" height="37.125mm" round="0mm" x_waste="9mm" y_waste="0mm">
      <Markup-margin size="0mm"/>
      <Layout nx="3" ny="8" x0="0mm" y0="0mm" dx="70mm" dy="37.125mm"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-barcode x="9.76mm" y="5mm" w="68.834mm" h="9.5mm" backend="built-in" style="Code39"
                    text="True" checksum="False" field="1" color="0x000000ff" $identity/>
    <Object-text x="10mm" y="22mm" w="55mm" h="5mm" justify="Left" valign="Top" auto_shrink="False" $identity>
      <Span $span><Field name="2"/></Span>
    </Object-text>
    <Object-text x="10mm" y="27mm" w="55mm" h="5mm" justify="Left" valign="Top" auto_shrink="False" $identity>
      <Span $span><Field name="3"/></Span>
    </Object-text>
  </Objects>
  <Merge type="Text/Comma" src="$work/labels.csv"/>
</Glabels-document>
XML

# Runs a command under /usr/bin/time; prints "elapsed cpu peak_kb" of the whole process.
measure() {
  local times="$work/times"
  /usr/bin/time -f '%e %U %S %M' -o "$times" "$@" >"$work/stdout" 2>"$work/stderr"
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$times"
}

per_second() { awk -v n="$labels" -v s="$1" 'BEGIN { printf "%.0f", n / s }'; }
megabytes() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

echo "== gLabels batch: $labels labels to PDF (up to a minute)"
read -r g_elapsed g_cpu g_peak < <(measure glabels-3-batch -c "$labels_per_record" -o "$work/glabels.pdf" "$work/labels.glabels")
expected_pages=$(((labels + labels_per_sheet - 1) / labels_per_sheet))
pages=$(pdfinfo "$work/glabels.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}' || true)
# Every label shows its text 1 and its barcode's human-readable line (gLabels adds the '*'s).
pdftotext "$work/glabels.pdf" "$work/glabels.txt" 2>/dev/null || true
texts=$(grep -o 'Article [0-9]*' "$work/glabels.txt" | wc -l)
barcodes=$(grep -o '\*VK-[0-9]* 01\.2\*' "$work/glabels.txt" | wc -l)
last=$((1000000 + records - 1))
echo "pages ${pages:-none} (expected $expected_pages), labels with text ${texts:-0} and with" \
  "barcode ${barcodes:-0} (expected $labels)"
if [ "${pages:-0}" != "$expected_pages" ] || [ "${texts:-0}" != "$labels" ] ||
  [ "${barcodes:-0}" != "$labels" ] ||
  ! pdftotext -f "$expected_pages" "$work/glabels.pdf" - | grep -q "Rayon $(((records - 1) % 40)) / $last"; then
  echo "gLabels did not print the $labels labels: no comparison."
  exit 1
fi

echo "== Vekrano label report: $labels labels to PDF"
read -r o_elapsed o_cpu o_peak < <(QT_QPA_PLATFORM=offscreen measure "$ours" \
  --benchmark_filter="/$labels\$" --benchmark_min_time=0)
grep -E '^BM_' "$work/stdout"

echo "== Vekrano peak memory of a 10-sheet run (flat memory: no growth per sheet)"
read -r _ _ small_peak < <(QT_QPA_PLATFORM=offscreen measure "$ours" \
  --benchmark_filter='/240$' --benchmark_min_time=0)

echo
printf '%-9s %10s %8s %14s %14s %10s\n' "" "elapsed s" "cpu s" "labels/s wall" "labels/s cpu" "peak MB"
printf '%-9s %10s %8s %14s %14s %10s\n' gLabels "$g_elapsed" "$g_cpu" \
  "$(per_second "$g_elapsed")" "$(per_second "$g_cpu")" "$(megabytes "$g_peak")"
printf '%-9s %10s %8s %14s %14s %10s\n' Vekrano "$o_elapsed" "$o_cpu" \
  "$(per_second "$o_elapsed")" "$(per_second "$o_cpu")" "$(megabytes "$o_peak")"
awk -v gc="$g_cpu" -v oc="$o_cpu" -v ge="$g_elapsed" -v oe="$o_elapsed" \
  'BEGIN { printf "speed ratio Vekrano / gLabels: %.1f on cpu time, %.1f on wall time\n", gc / oc, ge / oe }'
echo "Vekrano peak memory: $(megabytes "$small_peak") MB for 10 sheets," \
  "$(megabytes "$o_peak") MB for $expected_pages sheets"
