#!/usr/bin/env bash
# tools/install-program-directory.sh BUILD_DIR: installs the programs built in BUILD_DIR into the
# program directory ${VEKRANO_HOME:-${XDG_DATA_HOME:-~/.local/share}/vekrano} and prints it.
# Only the programs and the user manual are written: the records, settings and language file
# there are left alone.
set -euo pipefail
build=$1
data_home=${XDG_DATA_HOME:-}
# A relative XDG_DATA_HOME is ignored, as the program does.
case "$data_home" in /*) ;; *) data_home="$HOME/.local/share" ;; esac
home=${VEKRANO_HOME:-$data_home/vekrano}
mkdir -p "$home"
cmake --install "$build" --prefix "$home" --component home >/dev/null
echo "$home"
