#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one: fuzz/run.sh TARGET SECONDS [LIBFUZZER OPTIONS...]
# Seeds in fuzz/seeds/TARGET, when present, start the corpus.
set -euo pipefail
target=${1:?usage: fuzz/run.sh TARGET SECONDS}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DVEKRANO_FUZZ=ON -DVEKRANO_GUI=OFF \
  -DVEKRANO_TESTS=OFF -DVEKRANO_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "$target"
binary=$(find "$build/fuzz" -type f -name "$target" -perm -u+x | head -n 1)
corpus="$build/corpus/$target"
mkdir -p "$corpus"
dirs=("$corpus")
[ -d "$root/fuzz/seeds/$target" ] && dirs+=("$root/fuzz/seeds/$target")
"$binary" -max_total_time="$seconds" -timeout=10 "${@:3}" "${dirs[@]}"
