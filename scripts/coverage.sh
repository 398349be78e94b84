#!/usr/bin/env bash
# Line and branch coverage of the product code (src/ and pdv/) by the whole test suite: a g++
# build with coverage counters in build-coverage/ (or $COVERAGE_BUILD_DIR), the tests, then a
# summary by gcovr (and an HTML report in BUILD/coverage/index.html).
# Branches the compiler adds for exceptions and for code it proves unreachable are not counted:
# they are no decision of ours and would only blur the figure.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
"$here/scripts/deps.sh"

builddir=${COVERAGE_BUILD_DIR:-build-coverage}
jobs=$(nproc 2>/dev/null || echo 2)
CC=gcc CXX=g++ cmake -S . -B "$builddir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCHEQUE_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic -DCHEQUE_COVERAGE" -DCMAKE_C_FLAGS=--coverage \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$builddir" -j "$jobs"
find "$builddir" -name '*.gcda' -delete
ctest --test-dir "$builddir" -j "$jobs" --output-on-failure || echo "(some tests failed; coverage of the run follows)"
mkdir -p "$builddir/coverage"
gcovr --root . --object-directory "$builddir" --gcov-ignore-parse-errors --filter 'src/' --filter 'pdv/' \
  --exclude '.*_win32\.cpp' --exclude 'src/platform/win32/' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --html-details "$builddir/coverage/index.html" --print-summary "$builddir"
