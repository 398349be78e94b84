#!/usr/bin/env bash
# The Debian packages of the Windows build and its tests (kept apart from deps.sh: the Linux build
# does not need them). Installs what is missing when run as root; otherwise lists it and fails.
#   scripts/deps-windows.sh          the cross compilers, wine64, Xvfb for the screenshot
#   scripts/deps-windows.sh --wine32 also wine32, to run the 32-bit build (adds the i386
#                                    architecture to dpkg)
set -euo pipefail
pkgs=(cmake ninja-build ccache nlohmann-json3-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
      mingw-w64-tools wine64 xvfb x11-apps imagemagick)
want32=0
[ "${1:-}" = --wine32 ] && want32=1
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${pkgs[@]}"; do installed "$p" || missing+=("$p"); done
[ $want32 -eq 1 ] && ! installed wine32:i386 && missing+=(wine32:i386)
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [ $want32 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "missing Debian packages: ${missing[*]}" >&2
  echo "install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
