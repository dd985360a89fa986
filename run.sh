#!/usr/bin/env bash
# Installs what is missing, builds Vekrano in Release, installs the programs into the program
# directory ${VEKRANO_HOME:-${XDG_DATA_HOME:-~/.local/share}/vekrano} (records, settings and
# language file there are kept) and starts Vekrano from there.
# ./run.sh --install-only stops after the install.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
install_only=no
if [ "${1:-}" = "--install-only" ]; then install_only=yes; shift; fi
"$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVEKRANO_GUI=ON -DVEKRANO_TESTS=OFF -DVEKRANO_BENCH=OFF >/dev/null
cmake --build "$root/build/release"
home=$("$root/tools/install-program-directory.sh" "$root/build/release")
echo "Vekrano is installed in $home"
[ "$install_only" = yes ] && exit 0
exec "$home/vekrano" "$@"
