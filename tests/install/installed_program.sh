#!/usr/bin/env bash
# installed_program.sh SOURCE_DIR BUILD_DIR: installs the build into a temporary prefix, starts
# the installed vekrano on a virtual X server from its read-only bin/ and checks that its files
# land in the data directory; checks the menu entry, the man pages, the user manual, --help and
# --version; and that the program directory install of run.sh, run twice, keeps the records
# already there.
set -euo pipefail
source_dir=$1
build=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/vekrano bin/vekrano-sql share/applications/vekrano.desktop \
         share/icons/hicolor/scalable/apps/vekrano.svg share/man/man1/vekrano.1 \
         share/man/man1/vekrano-sql.1 share/vekrano/help/manual.css \
         share/vekrano/help/vekrano-{fr,en,pt,es}.html; do
  [ -e "$prefix/$f" ] || fail "the install lacks $f"
done
desktop-file-validate "$prefix/share/applications/vekrano.desktop" || fail "desktop entry invalid"
[ ! -e "$prefix/vekrano" ] || fail "the flat program directory install ran with the default one"
for page in "$prefix"/share/man/man1/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$page: $warnings"
done
[ "$("$prefix/bin/vekrano" --version)" = "vekrano 1.11" ] || fail "vekrano --version"
[ "$("$prefix/bin/vekrano-sql" --version)" = "vekrano-sql 1.11" ] || fail "vekrano-sql --version"
"$prefix/bin/vekrano" --help | grep -q '^usage: vekrano' || fail "vekrano --help"

# The installed program, as a system-wide one: nothing it writes may go into its bin/.
chmod -R a-w "$prefix"
# A real X server: the offscreen platform the other tests use would show no window.
unset QT_QPA_PLATFORM
export XDG_DATA_HOME="$work/data" HOME="$work/home" ASAN_OPTIONS=detect_leaks=0
mkdir -p "$HOME"
cd "$work"
# Each test that starts an X server searches from its own display number, so that two started
# at once never take the same one.
timeout 120 xvfb-run -a -n 200 "$source_dir/tests/support/quit_first_run.sh" "$prefix/bin/vekrano" \
  || fail "the installed program did not start and close"
data="$XDG_DATA_HOME/vekrano"
size=$(stat -c %s "$data/VEKRANO.PAR" 2>/dev/null) || fail "no VEKRANO.PAR in $data"
[ "$size" -eq 116 ] || fail "VEKRANO.PAR is $size bytes"
# The table files come with the records page; where they exist, they are both in the data
# directory and nowhere else.
if [ -e "$data/article.dbf" ] || [ -e "$data/article.mdx" ]; then
  [ -e "$data/article.dbf" ] && [ -e "$data/article.mdx" ] || fail "only one table file"
  tables="article.dbf and article.mdx"
else
  tables="no table files (this build does not open the records yet)"
fi
stray=$(find "$prefix" "$work/home" "$work" -maxdepth 1 -name 'article.*' -o -maxdepth 1 -name VEKRANO.PAR)
[ -z "$stray" ] || fail "files outside the data directory: $stray"

# run.sh's install step, twice over a program directory holding records.
home="$work/vekrano-home"
mkdir -p "$home"
printf 'records' > "$home/article.dbf"
printf 'settings' > "$home/VEKRANO.PAR"
for run in 1 2; do
  [ "$(VEKRANO_HOME="$home" "$source_dir/tools/install-program-directory.sh" "$build")" = "$home" ] \
    || fail "install $run printed another directory"
done
[ -x "$home/vekrano" ] && [ -x "$home/vekrano-sql" ] || fail "programs not installed in $home"
[ -f "$home/help/vekrano-fr.html" ] && [ -f "$home/help/manual.css" ] \
  || fail "the user manual is not beside the programs in $home"
[ "$(cat "$home/article.dbf")" = records ] || fail "the install changed article.dbf"
[ "$(cat "$home/VEKRANO.PAR")" = settings ] || fail "the install changed VEKRANO.PAR"
# Without VEKRANO_HOME the directory is the data directory's vekrano folder.
[ "$("$source_dir/tools/install-program-directory.sh" "$build")" = "$data" ] \
  || fail "the default program directory is not $data"
[ -x "$data/vekrano" ] && [ "$(stat -c %s "$data/VEKRANO.PAR")" -eq 116 ] \
  || fail "the default install lost the settings"
echo "installed program wrote VEKRANO.PAR and $tables into the data directory; installs keep records"
