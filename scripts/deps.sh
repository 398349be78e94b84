#!/usr/bin/env bash
# The Debian packages the build and the tests need. Installs what is missing when run as root;
# otherwise lists it and fails.
#   scripts/deps.sh             the packages of the Linux build and its tests
#   scripts/deps.sh PKG...      those packages instead (scripts/deps-windows.sh uses this); a
#                               name ending in :i386 adds that architecture to dpkg first
set -euo pipefail
pkgs=(cmake ninja-build g++ clang libclang-rt-dev libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
      libncurses-dev libsqlite3-dev sqlite3 tmux clang-format ccache clang-tidy cppcheck gcovr)
[ $# -gt 0 ] && pkgs=("$@")
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "missing Debian packages: ${missing[*]}" >&2
  echo "install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
