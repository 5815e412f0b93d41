#!/usr/bin/env bash
# Builds the Debian packages into build/package/: a release build installed
# under /usr (libraries in the multiarch folder), packed by CPack with their
# dependencies computed by dpkg-shlibdeps: kz7305evm (the program, tool,
# plug-in and simulated board), libnuvardriver1 (the driver contract) and
# libnuvardriver-dev (its headers). lintian checks them: no errors allowed.
#
#   tools/package.sh           build the package
#   tools/package.sh --check   also install it on a fresh Debian 12 in a chroot
#                              (build/package/chroot, made by debootstrap on
#                              first use; needs root and the Debian mirror), run
#                              the program, the tool and a demo acquisition
#                              there, remove it and check that nothing is left.
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case "${1:-}" in
  --check) check=true ;;
  "") ;;
  *) echo "usage: tools/package.sh [--check]" >&2; exit 2 ;;
esac

bash tools/install-deps.sh
out=build/package
# ccache speeds up a rebuild where it is installed; a fresh machine has none.
launcher=""
command -v ccache > /dev/null && launcher=ccache
cmake -S . -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" -DCMAKE_C_COMPILER_LAUNCHER="$launcher" \
  -DCMAKE_INSTALL_PREFIX=/usr -DKZ_BUILD_TESTS=OFF
cmake --build "$out/build"
rm -f "$out"/*.deb
(cd "$out/build" && cpack -B "$PWD/..")
rm -rf "$out/_CPack_Packages"
debs=("$out"/*.deb)
for deb in "${debs[@]}"; do
  echo "Package: $deb"
  dpkg-deb --field "$deb" Package Version Depends
done
lintian --fail-on error "${debs[@]}"

$check || exit 0

root="$out/chroot"
if [ ! -x "$root/usr/bin/apt-get" ]; then
  rm -rf "$root"
  debootstrap --variant=minbase bookworm "$root"
fi
rm -rf "$root/tmp/debs"
mkdir -p "$root/tmp/debs"
cp "${debs[@]}" "$root/tmp/debs/"
cp /etc/resolv.conf "$root/etc/resolv.conf"

# Everything runs in a mount namespace of its own, so the chroot's /proc and
# /dev vanish with it, whatever happens.
read -r -d '' check_script <<'CHECK' || true
root=$1
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

in_root apt-get update -q
packages="kz7305evm libnuvardriver1 libnuvardriver-dev"
in_root sh -c 'env DEBIAN_FRONTEND=noninteractive apt-get install -y -q /tmp/debs/*.deb'
in_root dpkg -L $packages | sort -u > "$root/tmp/kz7305evm.files"

echo "== in the chroot =="
in_root env QT_QPA_PLATFORM=offscreen KZ7305EVM --version
in_root kz7305evm-cli --help | sed -n 1,3p  # sed reads all: no SIGPIPE for the tool
in_root sh -c '
  set -e
  cd /tmp
  kz7305-sim --link /tmp/board > /tmp/board.log 2>&1 &
  board=$!
  for _ in $(seq 50); do [ -e /tmp/board ] && break; sleep 0.1; done
  kz7305evm-cli acquire --port /tmp/board --samples 4096 --analyze fft --window blackman-harris -o /tmp/block.csv
  kill $board
  wait $board || true
  rm -f /tmp/block.csv /tmp/board.log'

in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q --autoremove $packages
left=""
while read -r path; do
  # Folders the package shares with others stay; its own must go.
  [ -e "$root$path" ] || continue
  if [ ! -d "$root$path" ] || { [ -z "$(ls -A "$root$path")" ] && ! in_root dpkg -S "$path" > /dev/null 2>&1 < /dev/null; }; then
    left+="$path "
  fi
done < "$root/tmp/kz7305evm.files"
found=$(cd "$root" && find . -xdev \( -iname '*kz7305*' -o -iname '*NuvarDriver*' \) \
  -not -path './tmp/*' -not -path './var/cache/apt/*' -not -path './proc/*' -not -path './dev/*' | head)
rm -rf "$root/tmp/kz7305evm.files" "$root/tmp/debs"
if [ -n "$left$found" ]; then
  echo "left after removal: $left $found" >&2
  exit 1
fi
echo "Installed, ran and removed cleanly on Debian 12."
CHECK
unshare --mount --propagation private bash -euo pipefail -c "$check_script" check "$root" < /dev/null
