#!/usr/bin/env bash
# The Debian packages of the Windows build and its tests (kept apart from deps.sh: the Linux build
# does not need them). Installs what is missing when run as root; otherwise lists it and fails.
#   scripts/deps-windows.sh          the cross compilers, wine64, Xvfb for the screenshot,
#                                    sqlite3 to read the Windows service's journal
#   scripts/deps-windows.sh --wine32 also wine32, to run the 32-bit build (adds the i386
#                                    architecture to dpkg)
# Debian ships no SQLite for mingw: its source package (the version of the Linux build's
# libsqlite3) is fetched with apt into a private source list and built as a static library
# for each Windows architecture under build-deps/ (CHEQUE_DEPS_DIR), once; the build itself
# downloads nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
pkgs=(cmake ninja-build ccache nlohmann-json3-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
      mingw-w64-tools wine wine64 xvfb x11-apps imagemagick tcl make xz-utils sqlite3)
[ "${1:-}" = --wine32 ] && pkgs+=(wine32:i386)
scripts/deps.sh "${pkgs[@]}"

deps=${CHEQUE_DEPS_DIR:-$PWD/build-deps}
# The version the Linux build links, when its package is there; otherwise the release's own.
ver=$(dpkg-query -W -f='${Version}' libsqlite3-dev 2>/dev/null || true)
base=$(printf '%s' "${ver:-}" | sed 's/-[^-]*$//')
pronto=true
for arch in x86_64 i686; do
  [ -f "$deps/sqlite-$arch/lib/libsqlite3.a" ] && [ -f "$deps/sqlite-$arch/include/sqlite3.h" ] &&
    { [ -z "$base" ] || grep -q "^$base\$" "$deps/sqlite-$arch/VERSION" 2>/dev/null; } || pronto=false
done
$pronto && exit 0

fonte=$deps/sqlite-src
rm -rf "$fonte" && mkdir -p "$fonte/lists/partial"
# Private lists: the system's apt configuration is neither read nor changed.
cat >"$fonte/src.list" <<LIST
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian-security bookworm-security main
LIST
apt_priv=(-o Dir::Etc::SourceList="$fonte/src.list" -o Dir::Etc::SourceParts=/dev/null
          -o Dir::State::Lists="$fonte/lists" -o Dir::Cache="$fonte/cache" -o Debug::NoLocking=1)
mkdir -p "$fonte/cache/archives/partial"
# apt reports a source it cannot reach as a warning only: no source index means no network.
if ! apt-get "${apt_priv[@]}" -qq update >"$fonte/apt.log" 2>&1 ||
  ! compgen -G "$fonte/lists/*Sources*" >/dev/null; then
  echo "deps-windows.sh: cannot fetch the SQLite source from deb.debian.org (no network?); see $fonte/apt.log" >&2
  exit 1
fi
(cd "$fonte" && apt-get "${apt_priv[@]}" -qq source --download-only "sqlite3${ver:+=$ver}" >>apt.log 2>&1) || {
  echo "deps-windows.sh: apt-get source sqlite3${ver:+=$ver} failed; see $fonte/apt.log" >&2
  exit 1
}
orig=$(find "$fonte" -maxdepth 1 -name "sqlite3_*.orig.tar.*" -print -quit)
tar -xf "$orig" -C "$fonte"
src=$(find "$fonte" -mindepth 1 -maxdepth 1 -type d ! -name lists ! -name cache | head -n1)
# The amalgamation (one sqlite3.c) is generated from the tree by its own tools (needs tclsh).
(cd "$src" && ./configure --quiet >/dev/null && make -s sqlite3.c sqlite3.h >/dev/null)
got=$(cat "$src/VERSION")
for arch in x86_64 i686; do
  out=$deps/sqlite-$arch
  rm -rf "$out" && mkdir -p "$out/lib" "$out/include"
  # The journal runs in one thread of its process; the rest as Debian builds it.
  "$arch-w64-mingw32-gcc-posix" -O2 -c "$src/sqlite3.c" -o "$out/sqlite3.o" \
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION=1 -DSQLITE_DEFAULT_FOREIGN_KEYS=0 \
    -DSQLITE_WIN32_MALLOC=0
  "$arch-w64-mingw32-ar" rcs "$out/lib/libsqlite3.a" "$out/sqlite3.o"
  rm -f "$out/sqlite3.o"
  cp "$src/sqlite3.h" "$src/sqlite3ext.h" "$out/include/"
  echo "$got" >"$out/VERSION"
  echo "deps-windows.sh: SQLite $got built for $arch in $out"
done
rm -rf "$fonte"
