#!/usr/bin/env bash
# Times vekrano-labels against gLabels' batch tool (Debian package glabels, installed by
# `tools/install-deps.sh --bench`) as whole processes, on the same labels: records of 5 labels
# each, Code 39 barcode and two text lines, on a 24-label A4 sheet (3 x 8), into one PDF file.
# Each program runs three times and the median run counts. The ratio is printed on processor
# time (user + system), which other users of a shared machine disturb least, and on wall time.
# Then vekrano-labels prints 10,000 labels alone, with its wall time and peak memory. Given an
# earlier build folder, its vekrano-labels is timed beside on the same runs.
# Usage: bench/printing/glabels_compare.sh [build folder] [labels compared: 240, 1000 or 10000]
#        [earlier build folder]
set -euo pipefail

build=${1:-build/release}
labels=${2:-1000}
earlier=${3:-}
labels_program="$build/src/app/vekrano-labels"
sql_program="$build/src/app/vekrano-sql"
labels_per_record=5
labels_per_sheet=24
label_type=5  # etiquette5, 24 labels of 70 x 37.125 mm
full_run=10000

case "$labels" in
  240 | 1000 | 10000) ;;
  *) echo "labels must be 240, 1000 or 10000"; exit 2 ;;
esac
if ! command -v glabels-3-batch >/dev/null; then
  echo "glabels-3-batch is not installed: run tools/install-deps.sh --bench. Nothing was timed."
  exit 1
fi
for tool in pdfinfo pdftotext; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing: run tools/install-deps.sh --bench. Nothing was timed."
    exit 1
  fi
done
for program in "$labels_program" "$sql_program" ${earlier:+"$earlier/src/app/vekrano-labels"}; do
  if [ ! -x "$program" ]; then
    echo "$program is missing: build vekrano-labels and vekrano-sql first (Release build)."
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The records of a run of $1 labels, one CSV line each: barcode, text 1, text 2, labels.
write_records() {
  local records=$((($1 + labels_per_record - 1) / labels_per_record))
  for ((i = 0; i < records; i++)); do
    local number=$((1000000 + i))
    echo "VK-$number 01.2,Article $number,Rayon $((i % 40)) / $number,$labels_per_record"
  done
}

# A program directory whose table holds the records of a run of $2 labels, in $1.
make_table() {
  mkdir -p "$1"
  write_records "$2" >"$1/records.csv"
  echo ".import $1/records.csv --separator , --fields 1,2,3,4" |
    "$sql_program" "$1" >/dev/null
}

# Runs a command three times; prints "elapsed cpu peak_kb waits preemptions" of the run of
# median wall time. The shell's own clock gives the times to the millisecond (the children's
# user and system time), /usr/bin/time the peak resident memory and how often the process gave
# up the processor: waiting for the disk or another program (waits), or taken off it for other
# work (preemptions), which is where wall time beyond processor time goes on a busy machine.
measure() {
  local TIMEFORMAT='%3R %3U %3S'
  for run in 1 2 3; do
    { time /usr/bin/time -f '%M %w %c' -o "$work/peak" "$@" >"$work/stdout" 2>"$work/stderr"; } \
      2>"$work/times" || {
      echo "failed: $*" >&2
      cat "$work/stderr" >&2
      exit 1
    }
    awk -v peak="$(cat "$work/peak")" '{ printf "%s %.3f %s\n", $1, $2 + $3, peak }' "$work/times"
  done | sort -n | sed -n 2p
}

per_second() { awk -v n="$labels" -v s="$1" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }'; }
megabytes() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# Every label shows its text 1 and its barcode's human-readable line, on the expected pages.
check_pdf() {
  local pdf=$1 count=$2 barcode_pattern=$3 name=$4
  local records=$(((count + labels_per_record - 1) / labels_per_record))
  local expected_pages=$(((count + labels_per_sheet - 1) / labels_per_sheet))
  local last=$((1000000 + records - 1))
  local pages texts barcodes
  pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}' || true)
  pdftotext "$pdf" "$work/text.txt" 2>/dev/null || true
  texts=$(grep -o 'Article [0-9]*' "$work/text.txt" | wc -l)
  barcodes=$(grep -oE "$barcode_pattern" "$work/text.txt" | wc -l)
  echo "$name: pages ${pages:-none} (expected $expected_pages), labels with text $texts and" \
    "with barcode $barcodes (expected $count)"
  if [ "${pages:-0}" != "$expected_pages" ] || [ "$texts" != "$count" ] ||
    [ "$barcodes" != "$count" ] ||
    ! pdftotext -f "$expected_pages" "$pdf" - | grep -q "Rayon $(((records - 1) % 40)) / $last"; then
    echo "$name did not print the $count labels: no comparison."
    exit 1
  fi
}

write_records "$labels" | cut -d, -f1-3 >"$work/labels.csv"

# gLabels reads every object's affine matrix (a0..a5) and every span's weight and slant: left
# out, the objects are scaled to nothing and the pages come out blank. The label frame is
# 70 x 37.125 mm; bars start 9.76 mm from its left and 5 mm from its top, text lines at 10 mm
# from the left, 22 and 27 mm from the top. The barcode box is our 15-character symbol's width
# (271 narrow widths of 0.254 mm), 6.35 mm bars plus the human-readable line; the 9 mm side
# waste keeps gLabels from clipping the symbol at the label's right edge. gLabels prints the
# copies record after record (1, 2, ... 1, 2, ...) where we print a record's 5 labels together:
# the same labels on the same number of sheets, in another order. Repeating each line 5 times
# instead would keep our order but makes gLabels twenty times slower, an unfair peer.
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

make_table "$work/compared" "$labels"
make_table "$work/full" "$full_run"
export QT_QPA_PLATFORM=offscreen

echo "== gLabels batch: $labels labels to PDF, three runs (up to a minute)"
read -r g_elapsed g_cpu g_peak _ < <(measure glabels-3-batch -c "$labels_per_record" \
  -o "$work/glabels.pdf" "$work/labels.glabels")
# gLabels adds the '*'s to the human-readable line.
check_pdf "$work/glabels.pdf" "$labels" '\*VK-[0-9]* 01\.2\*' gLabels

# Runs vekrano-labels $1 over the table $2 into $3 three times; prints the median run's
# "elapsed cpu peak_kb waits preemptions" once the PDF shows the table's $4 labels.
time_vekrano() {
  local figures
  figures=$(measure "$1" "$2" --all --type "$label_type" --pdf "$3")
  check_pdf "$3" "$4" 'VK-[0-9]* 01\.2' Vekrano >&2
  echo "$figures"
}

echo "== vekrano-labels: the same $labels labels to PDF, then $full_run labels, three runs each"
read -r o_elapsed o_cpu o_peak _ < <(time_vekrano "$labels_program" "$work/compared" "$work/vekrano.pdf" "$labels")
read -r f_elapsed f_cpu f_peak f_waits f_preempted < <(time_vekrano "$labels_program" "$work/full" "$work/full.pdf" "$full_run")
if [ -n "$earlier" ]; then
  echo "== the earlier build's vekrano-labels on the same runs"
  read -r e_elapsed e_cpu e_peak _ < <(time_vekrano "$earlier/src/app/vekrano-labels" "$work/compared" \
    "$work/earlier.pdf" "$labels")
  read -r ef_elapsed ef_cpu ef_peak ef_waits ef_preempted < <(time_vekrano "$earlier/src/app/vekrano-labels" "$work/full" \
    "$work/earlier_full.pdf" "$full_run")
fi

row() {
  printf '%-9s %10s %8s %14s %14s %10s\n' "$1" "$2" "$3" "$(per_second "$2")" "$(per_second "$3")" \
    "$(megabytes "$4")"
}
ratio() {
  awk -v name="$1" -v gc="$g_cpu" -v oc="$2" -v ge="$g_elapsed" -v oe="$3" \
    'BEGIN { printf "time ratio %s / gLabels: %.3f on cpu time, %.3f on wall time\n", name, oc / gc, oe / ge }'
}

echo
printf '%-9s %10s %8s %14s %14s %10s\n' "$labels" "elapsed s" "cpu s" "labels/s wall" "labels/s cpu" "peak MB"
row gLabels "$g_elapsed" "$g_cpu" "$g_peak"
row Vekrano "$o_elapsed" "$o_cpu" "$o_peak"
[ -n "$earlier" ] && row earlier "$e_elapsed" "$e_cpu" "$e_peak"
ratio Vekrano "$o_cpu" "$o_elapsed"
[ -n "$earlier" ] && ratio earlier "$e_cpu" "$e_elapsed"
echo "vekrano-labels, $full_run labels: $f_elapsed s wall, $f_cpu s cpu, $(megabytes "$f_peak") MB peak," \
  "$f_waits waits, $f_preempted preemptions"
if [ -n "$earlier" ]; then
  echo "earlier build,  $full_run labels: $ef_elapsed s wall, $ef_cpu s cpu, $(megabytes "$ef_peak") MB peak," \
    "$ef_waits waits, $ef_preempted preemptions"
fi
