#!/usr/bin/env bash
# Cross-builds the module for Windows with mingw-w64: cheque.dll for 64-bit (build-win64/bin)
# and 32-bit (build-win32/bin) points of sale, each with the reference host (pdvhost.dll,
# chqforms.dll, chequepdv.exe and the compiler's runtime DLLs they use). Checks that each
# cheque.dll exports exactly the eight entry points under their plain names.
#   scripts/build-windows.sh [win64|win32]...   (default: both)
# CHEQUE_WIN_BUILD_PREFIX names the build directories' prefix (default: build-).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps-windows.sh
prefix=${CHEQUE_WIN_BUILD_PREFIX:-build-}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(win64 win32)

expected="ExecutaConsultaCheque ExecutaFuncaoADM ExecutaGenerico ExecutaPreAutorizacao ExecutaVenda Finalize Initialize ObtemVersao"

for t in "${targets[@]}"; do
  case $t in
  win64) arch=x86_64 ;;
  win32) arch=i686 ;;
  *) echo "build-windows.sh: unknown target $t (win64, win32)" >&2; exit 2 ;;
  esac
  dir=$prefix$t
  start=$SECONDS
  cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCHEQUE_TESTS=OFF -DCHEQUE_BENCH=OFF -DCHEQUE_FUZZ=OFF \
    -DCHEQUE_SQLITE_WIN="${CHEQUE_DEPS_DIR:-$PWD/build-deps}/sqlite-$arch" >/dev/null
  cmake --build "$dir" --parallel "${CHEQUE_JOBS:-2}" --target cheque chequepdv
  # The reference host runs with the compiler's runtime beside it; cheque.dll needs none.
  for dll in libstdc++-6.dll libwinpthread-1.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll; do
    f=$("$arch-w64-mingw32-g++-posix" -print-file-name="$dll")
    [ -f "$f" ] && cp -u "$f" "$dir/bin/"
    if [ ! -f "$f" ] && [ -f "/usr/$arch-w64-mingw32/lib/$dll" ]; then cp -u "/usr/$arch-w64-mingw32/lib/$dll" "$dir/bin/"; fi
  done
  exports=$("$arch-w64-mingw32-objdump" -p "$dir/bin/cheque.dll" |
    awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && /^$/{on=0} on && /\]/{print $NF}' |
    sort | tr '\n' ' ' | sed 's/ $//')
  if [ "$exports" != "$expected" ]; then
    echo "build-windows.sh: $dir/bin/cheque.dll exports: $exports" >&2
    echo "build-windows.sh: expected exactly: $expected" >&2
    exit 1
  fi
  imports=$("$arch-w64-mingw32-objdump" -p "$dir/bin/cheque.dll" | awk '/DLL Name:/{print $3}' | sort -u | tr '\n' ' ')
  echo "$dir/bin/cheque.dll ($arch): exports $exports; imports $imports($((SECONDS - start)) s)"
done
