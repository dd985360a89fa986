#!/usr/bin/env bash
# Installs what is missing, builds Vekrano in Release and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVEKRANO_GUI=ON -DVEKRANO_TESTS=OFF -DVEKRANO_BENCH=OFF >/dev/null
cmake --build "$root/build/release"
exec "$root/build/release/src/app/vekrano" "$@"
