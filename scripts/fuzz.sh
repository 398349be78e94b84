#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers and runs each one for a while from
# its seed corpus (fuzz/corpus/TARGET/, which also keeps every input that once crashed a target:
# they are replayed first, so an old crash cannot come back unnoticed).
#   scripts/fuzz.sh                       every target, FUZZ_SECONDS (default 20) each
#   scripts/fuzz.sh NAME ...              only those targets (fuzz_transacao, fuzz_ini ...)
#   FUZZ_SECONDS=300 scripts/fuzz.sh      the longer run before a release
# The build directory is build-fuzz/ (or $FUZZ_BUILD_DIR). A crash leaves the input as
# BUILD/TARGET-crash-... and stops the script.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
"$here/scripts/deps.sh"

seconds=${FUZZ_SECONDS:-20}
builddir=${FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$builddir" -G Ninja -DCHEQUE_FUZZ=ON -DCHEQUE_SANITIZE=ON \
  -DCHEQUE_WERROR=ON -DCHEQUE_TESTS=OFF -DCHEQUE_BENCH=OFF >/dev/null

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
  # -timeout: an input that takes seconds is a hang for a checkout; -rss_limit_mb: so is one that
  # eats the machine's memory.
  "$builddir/bin/$t" -max_total_time="$seconds" -max_len=9000 -timeout=10 -rss_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$builddir/$t-" "$corpus" 2>"$work/$t.log" ||
    { tail -50 "$work/$t.log"; exit 1; }
  grep -E '^stat::number_of_executed_units|^Done' "$work/$t.log" || true
done
