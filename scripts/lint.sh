#!/usr/bin/env bash
# Static analysis of the product code (src/ and pdv/): clang-tidy with the checks of .clang-tidy,
# then cppcheck. Both must come out clean; a finding that is a false alarm is suppressed where it
# stands (NOLINT(check) or cppcheck-suppress) with the reason beside it.
#   scripts/lint.sh              both tools
#   scripts/lint.sh FILE-REGEX   clang-tidy on the matching files only (e.g. src/platform/)
#   scripts/lint.sh --windows    clang-tidy on the Windows-only sources (*_win32.cpp and
#                                src/platform/win32/) with the 64-bit cross build's compile
#                                database (scripts/build-windows.sh; scripts/test-windows.sh runs it)
# The compile database comes from a clang configuration in build-lint/ (or $LINT_BUILD_DIR);
# nothing is built. On the 2-core machine clang-tidy takes about 3 minutes over the tree (up to 25
# when other builds share the cores), cppcheck under a minute; both times are printed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
"$here/scripts/deps.sh"

jobs=$(nproc 2>/dev/null || echo 2)
if [ "${1:-}" = --windows ]; then
  db=$here/${CHEQUE_WIN_BUILD_PREFIX:-build-}win64
  [ -f "$db/compile_commands.json" ] ||
    { echo "lint.sh: $db/compile_commands.json is missing: run scripts/build-windows.sh" >&2; exit 2; }
  # clang as the cross compiler, with the MinGW compiler's own C++ library headers.
  args=(-extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-nostdinc++)
  while IFS= read -r d; do args+=("-extra-arg=-isystem${d# }"); done < <(
    x86_64-w64-mingw32-g++-posix -xc++ -E -v - </dev/null 2>&1 |
      sed -n '/<...> search starts/,/End of search/p' | grep '^ /.*/c++')
  start=$SECONDS
  echo "== clang-tidy (the Windows-only sources)"
  status=0
  run-clang-tidy -quiet -j "$jobs" -p "$db" "${args[@]}" "$here/(src|pdv)/(.*_win32\.cpp|platform/win32/)" \
    >"$db/clang-tidy.log" 2>&1 || status=1
  grep -E '(warning|error): ' "$db/clang-tidy.log" | sort -u || true
  echo "clang-tidy: $((SECONDS - start)) s"
  exit $status
fi

builddir=${LINT_BUILD_DIR:-build-lint}
CC=clang CXX=clang++ cmake -S . -B "$builddir" -G Ninja -DCHEQUE_TESTS=OFF -DCHEQUE_BENCH=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

filter=${1:-"$here/(src|pdv)/"}
status=0
start=$SECONDS
echo "== clang-tidy ($filter)"
run-clang-tidy -quiet -j "$jobs" -p "$builddir" "$filter" >"$builddir/clang-tidy.log" 2>&1 ||
  status=1
grep -E '(warning|error): ' "$builddir/clang-tidy.log" | sort -u || true
echo "clang-tidy: $((SECONDS - start)) s"

if [ $# -eq 0 ]; then
  start=$SECONDS
  echo "== cppcheck"
  # The system's and the test framework's headers are not ours to check: only what the project
  # includes itself is followed.
  cppcheck --quiet --enable=warning,performance,portability --std=c++20 --language=c++ \
    --inline-suppr --error-exitcode=1 -j "$jobs" --suppress=missingIncludeSystem \
    -Iinclude -Isrc -Ipdv -Ipdv/app -i src/platform/win32 --suppress='*:*_win32.cpp' \
    --cppcheck-build-dir="$builddir" src pdv 2>&1 || status=1
  echo "cppcheck: $((SECONDS - start)) s"
fi
exit $status
