#!/usr/bin/env bash
# Times gLabels' batch tool (Debian package glabels) on the same 10,000 labels as
# label_render_bench: 2,000 records of 5 labels each, Code 39 barcode and two text lines, on a
# 24-label A4 sheet (3 x 8), into one PDF file; then runs our benchmark on the same run.
# Usage: bench/printing/glabels_compare.sh [build folder holding bench/printing/label_render_bench]
set -euo pipefail

build=${1:-build/rel}
ours="$build/bench/printing/label_render_bench"

if ! command -v glabels-3-batch >/dev/null; then
  echo "glabels-3-batch is not installed (Debian package glabels, which our scripts do not install)."
  echo "Install it to compare; nothing was timed."
  exit 1
fi
if [ ! -x "$ours" ]; then
  echo "$ours is missing: build the target label_render_bench first (Release build)."
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same labels as the benchmark: each record repeated for its 5 labels.
for ((i = 0; i < 2000; i++)); do
  number=$((1000000 + i))
  for copy in 1 2 3 4 5; do
    echo "VK-$number 01.2,Article $number,Rayon $((i % 40)) / $number"
  done
done >"$work/labels.csv"

cat >"$work/labels.glabels" <<XML
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Vekrano" part="etiquette5" size="A4" description="24 labels (3X8)">
    <Meta category="label"/>
    <Label-rectangle id="0" width="70mm" height="37.125mm" round="0mm" x_waste="0mm" y_waste="0mm">
      <Markup-margin size="0mm"/>
      <Layout nx="3" ny="8" x0="0mm" y0="0mm" dx="70mm" dy="37.125mm"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-barcode x="9.76mm" y="5mm" w="60mm" h="9mm" backend="built-in" style="Code39"
                    text="True" checksum="False" field="1"/>
    <Object-text x="10mm" y="22mm" w="55mm" h="5mm" justify="Left" valign="Top">
      <Span font_family="Arial" font_size="10"><Field name="2"/></Span>
    </Object-text>
    <Object-text x="10mm" y="27mm" w="55mm" h="5mm" justify="Left" valign="Top">
      <Span font_family="Arial" font_size="10"><Field name="3"/></Span>
    </Object-text>
  </Objects>
  <Merge type="Text/Comma" src="$work/labels.csv"/>
</Glabels-document>
XML

echo "== gLabels batch: 10,000 labels to PDF"
/usr/bin/time -f "elapsed %e s, peak memory %M KB" \
  glabels-3-batch -o "$work/glabels.pdf" "$work/labels.glabels" 2>&1 | grep -v '^$' || true
pages=$(pdfinfo "$work/glabels.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}' || true)
echo "gLabels pages: ${pages:-none} (417 expected)"
if [ "${pages:-0}" != 417 ]; then
  echo "gLabels did not lay out the 10,000 labels: its timing above is not comparable."
fi

echo "== Vekrano label report: 10,000 labels to PDF"
QT_QPA_PLATFORM=offscreen /usr/bin/time -f "elapsed %e s, peak memory %M KB" \
  "$ours" --benchmark_filter='/10000$' --benchmark_min_time=0 2>&1 | grep -E 'BM_|elapsed'
