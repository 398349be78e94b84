#!/usr/bin/env bash
# The Debian packages of the Windows build and its tests (kept apart from deps.sh: the Linux build
# does not need them). Installs what is missing when run as root; otherwise lists it and fails.
#   scripts/deps-windows.sh          the cross compilers, wine64, Xvfb for the screenshot
#   scripts/deps-windows.sh --wine32 also wine32, to run the 32-bit build (adds the i386
#                                    architecture to dpkg)
set -euo pipefail
pkgs=(cmake ninja-build ccache nlohmann-json3-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
      mingw-w64-tools wine wine64 xvfb x11-apps imagemagick)
[ "${1:-}" = --wine32 ] && pkgs+=(wine32:i386)
exec "$(dirname "$0")/deps.sh" "${pkgs[@]}"
