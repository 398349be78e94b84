#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers (in build-fuzz/) and runs each one
# for a short time from its seed corpus.
#   scripts/fuzz.sh            every target, FUZZ_SECONDS (default 20) each
#   scripts/fuzz.sh NAME ...   only those targets (fuzz_cdlpoa, fuzz_telecheque, fuzz_arroba)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
"$here/scripts/deps.sh"

seconds=${FUZZ_SECONDS:-20}
builddir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$builddir" -G Ninja -DCHEQUE_FUZZ=ON -DCHEQUE_SANITIZE=ON \
  -DCHEQUE_TESTS=OFF -DCHEQUE_BENCH=OFF >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi
cmake --build "$builddir" -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for t in "${targets[@]}"; do
  corpus="$work/$t"
  mkdir -p "$corpus"
  if [ -d "fuzz/corpus/$t" ]; then cp fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true; fi
  echo "== $t (${seconds}s)"
  "$builddir/bin/$t" -max_total_time="$seconds" -max_len=9000 -print_final_stats=1 \
    -artifact_prefix="$builddir/$t-" "$corpus"
done
