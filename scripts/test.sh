#!/usr/bin/env bash
# Configure, build and run the whole test suite. Installs the Debian build packages that are
# missing when run as root; otherwise names them and stops.
#   scripts/test.sh                 normal build in build/
#   scripts/test.sh --sanitize      AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

sanitize=OFF
builddir=build
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=ON; builddir=build-asan ;;
    *) echo "usage: scripts/test.sh [--sanitize]" >&2; exit 2 ;;
  esac
done

"$here/scripts/deps.sh"

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$builddir" -G Ninja -DCHEQUE_SANITIZE=$sanitize -DCHEQUE_BENCH=ON -DCHEQUE_WERROR=ON \
  >/dev/null
cmake --build "$builddir" -j "$jobs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$builddir" --output-on-failure -j "$jobs"
