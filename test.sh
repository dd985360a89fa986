#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UBSan and runs the whole test suite.
# Exits with the suite's status.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/install-deps.sh"
build="$root/build/sanitize"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEKRANO_SANITIZE=ON \
  -DVEKRANO_GUI=ON -DVEKRANO_TESTS=ON -DVEKRANO_BENCH=ON >/dev/null
cmake --build "$build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$(nproc)"
