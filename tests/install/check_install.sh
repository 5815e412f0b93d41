#!/usr/bin/env bash
# check_install.sh BUILD_DIR LIBDIR SOURCE_DIR: installs BUILD_DIR into a
# temporary prefix and checks what a user gets there; then configures SOURCE_DIR
# for /usr, whose libraries go to the multiarch folder, and checks that the
# program looks for its plug-in where that installation puts it. Every check
# runs; failures are listed.
set -uo pipefail
# A grep at the end of a pipeline reads all its input (no -q): with pipefail,
# a grep that stops early fails the pipeline when the writer gets SIGPIPE.
build=$1
libdir=$2
source=$3
app_id=example.kz7305evm.KZ7305EVM

work=$(mktemp -d /tmp/kz-install-XXXXXX)
board_pid=""
cleanup() {
  [ -n "$board_pid" ] && kill "$board_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

prefix=$work/prefix
if ! cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

# Layout.
for program in KZ7305EVM kz7305evm-cli kz7305-sim; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program missing"
done
contract=$prefix/$libdir/libNuvarDriver.so.1
[ -f "$contract" ] || fail "$libdir/libNuvarDriver.so.1 missing"
readelf -d "$contract" 2>/dev/null | grep 'SONAME.*\[libNuvarDriver\.so\.1\]' > /dev/null || fail "contract library without its soname"
plugin=$prefix/$libdir/KZ7305EVM/plugins/libKZ7305EVM.so
[ -f "$plugin" ] || fail "driver plug-in missing from $libdir/KZ7305EVM/plugins"
grep -qx 'DriverName=KZ7305EVM.kz7305' "$prefix/share/KZ7305EVM/KZ7305EVM.conf" 2>/dev/null \
  || fail "shipped settings do not bind the driver"
[ -f "$prefix/share/doc/kz7305evm/copyright" ] || fail "copyright file missing"
[ -f "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "scalable icon missing"
for size in 16 32 48 64 128 256; do
  file "$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png" 2>/dev/null \
    | grep "PNG image data, $size x $size" > /dev/null || fail "no ${size}x${size} PNG icon"
done
for page in KZ7305EVM kz7305evm-cli kz7305-sim; do
  man_page=$prefix/share/man/man1/$page.1.gz
  if [ ! -f "$man_page" ]; then
    fail "manual page $page(1) missing"
  elif ! zcat "$man_page" | groff -man -Tutf8 -ww -z 2>&1 | { ! grep .; }; then
    fail "manual page $page(1) does not format cleanly"
  fi
done

# Desktop entry and AppStream description.
desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" > "$work/appstream.log" 2>&1 \
  || { cat "$work/appstream.log" >&2; fail "AppStream metainfo invalid"; }

# Shell completion: the commands first, the window names after --window, the
# views, the options of analyze.
completion=$prefix/share/bash-completion/completions/kz7305evm-cli
if [ ! -f /usr/share/bash-completion/bash_completion ]; then
  fail "bash-completion is not installed"
else
  got=$(bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
      COMPREPLY=(); _kz7305evm_cli kz7305evm-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"; echo "${COMPREPLY[*]}"; }
    complete_words kz7305evm-cli a
    complete_words kz7305evm-cli analyze x.csv --window black
    complete_words kz7305evm-cli plot x.csv --view ""
    complete_words kz7305evm-cli analyze x.csv y.csv --t' _ "$completion" 2>&1)
  [ "$got" = $'acquire analyze\nblackman blackman-harris\ntime fft histogram\n--table' ] \
    || fail "bash completion gave: $got"
fi

# The installed programs run on the installed libraries and plug-in alone: a
# fresh user, no plug-in path, no library path.
mkdir -m 700 "$work/runtime"
clean_env=(env -u KZ7305EVM_PLUGIN_PATH -u KZ7305EVM_PORTS -u LD_LIBRARY_PATH
  HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen)
run() { "${clean_env[@]}" "$@"; }
# Paths found relative to the program read PREFIX/bin/../LIBDIR.
installed_lib="$prefix/\(bin/\.\./\)\?$libdir"
run ldd "$prefix/bin/kz7305evm-cli" | grep "libNuvarDriver.so.1 => $installed_lib/libNuvarDriver" > /dev/null \
  || fail "the installed tool does not load the installed contract library"
run "$prefix/bin/KZ7305EVM" --version > /dev/null || fail "KZ7305EVM --version"

# A simple command, not a function: $! is then the simulator's own PID (env
# replaces itself with it), so the simulator is the process ended below.
"${clean_env[@]}" "$prefix/bin/kz7305-sim" --link "$work/board" --dump "$work/dump.txt" > /dev/null 2>&1 &
board_pid=$!
for _ in $(seq 100); do [ -e "$work/board" ] && break; sleep 0.1; done
if ! run "$prefix/bin/kz7305evm-cli" acquire --port "$work/board" --samples 512 -o "$work/block.csv" \
     > /dev/null 2> "$work/acquire.log"; then
  cat "$work/acquire.log" >&2
  fail "acquire through the installed plug-in"
else
  # The block saved is the one the board sent.
  sed -n '/^Sample Points:\r$/,$p' "$work/block.csv" | tail -n +2 | tr -d '\r' > "$work/saved.txt"
  [ "$(wc -l < "$work/saved.txt")" -eq 512 ] && cmp -s "$work/saved.txt" "$work/dump.txt" \
    || fail "the saved block differs from the board's"
fi

# Without the installed plug-in nothing else is found: no build-tree path leaks in.
mv "$plugin" "$work/plugin.so"
run "$prefix/bin/kz7305evm-cli" acquire --port "$work/board" --samples 16 -o "$work/none.csv" \
  > /dev/null 2> "$work/missing.log"
status=$?
[ "$status" -eq 3 ] || fail "acquire without a plug-in exited $status, not 3"
grep -q "$installed_lib/KZ7305EVM/plugins" "$work/missing.log" && ! grep -q "$build" "$work/missing.log" \
  || fail "plug-in search outside the installed tree: $(cat "$work/missing.log")"

# The saved PID is the simulator's, and ending it ends the simulator.
[ "$(cat "/proc/$board_pid/comm" 2>/dev/null)" = kz7305-sim ] || fail "the saved PID $board_pid is not the simulator's"
kill "$board_pid" 2>/dev/null
wait "$board_pid" 2>/dev/null
[ -e "/proc/$board_pid" ] && fail "the simulator outlived its end"
board_pid=""

# A /usr installation: configured only (a second build would take minutes); the
# package check of tools/package.sh runs such an installation for real.
usr_build=$work/usr-build
if ! cmake -S "$source" -B "$usr_build" -G Ninja -DCMAKE_INSTALL_PREFIX=/usr -DKZ_BUILD_TESTS=OFF \
     > "$work/usr-configure.log" 2>&1; then
  cat "$work/usr-configure.log" >&2
  fail "configuring for /usr"
else
  multiarch=$(g++ -print-multiarch)
  looks_in=$(grep -o 'KZ_PLUGIN_RELATIVE_DIR=\\"[^\\]*' "$usr_build/build.ninja" | head -1 | cut -d'"' -f2)
  installs_to=$(grep -o 'file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/[^"]*" TYPE MODULE' \
    "$usr_build/board_driver/cmake_install.cmake" | cut -d'"' -f2 | sed 's|${CMAKE_INSTALL_PREFIX}|/usr|')
  [ "$installs_to" = "/usr/lib/$multiarch/KZ7305EVM/plugins" ] || fail "/usr: plug-in installed to '$installs_to'"
  [ -n "$looks_in" ] && [ "$(realpath -m "/usr/bin/$looks_in")" = "$installs_to" ] \
    || fail "/usr: the program looks for its plug-in in /usr/bin/$looks_in"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures install check(s) failed" >&2
  exit 1
fi
echo "install tree checked"
