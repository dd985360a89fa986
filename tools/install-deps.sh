#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vekrano need, when missing.
# Quiet and fast when everything is already there. Uses sudo when not run as root.
# --bench also installs the peers the benchmarks measure against (gLabels' batch tool and the
# PDF readers that check its output); neither building nor testing needs them.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-translations-l10n fonts-liberation zlib1g-dev bison re2c
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils openbox
  desktop-file-utils dpkg-dev file
  python3 python3-dbfread python3-dbf zbar-tools zint poppler-utils sqlite3 libsqlite3-dev
  cups cups-client cups-bsd printer-driver-cups-pdf glabels-data
)
case "${1:-}" in
  "") ;;
  --bench) packages+=(glabels poppler-utils) ;;
  *) echo "usage: $0 [--bench]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
