#!/usr/bin/env bash
# Prints the size of the tests against the size of the product: non-blank, non-comment lines of
# tests/ against src/, pdv/ and include/ (C++ sources and headers). The project keeps the ratio
# between a quarter and a third.
set -euo pipefail
cd "$(dirname "$0")/.."
# The files git knows of and the new ones it would add; every file of the folders in a copy of
# the sources without git.
files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard -- "$@"
  else
    find -L "$@" -type f
  fi
}
count() {
  files "$@" | grep -E '\.(cpp|h|hpp|c)$' |
    while IFS= read -r f; do if [ -f "$f" ]; then cat "$f"; fi; done | awk '
      { line = $0 }
      incomment { if (sub(/.*\*\//, "", line)) incomment = 0; else next }
      { gsub(/\/\*.*\*\//, "", line) }
      sub(/\/\*.*/, "", line) { incomment = 1 }
      { gsub(/^[ \t]+|[ \t]+$/, "", line) }
      line == "" || line ~ /^\/\// { next }
      { n++ }
      END { print n + 0 }'
}
code=$(count src pdv include)
tests=$(count tests)
awk -v t="$tests" -v c="$code" 'BEGIN {
  printf "product code: %d lines (src/, pdv/, include/)\ntests:        %d lines (tests/)\nratio:        %.2f (aim: 0.25 to 0.35)\n", c, t, t / c }'
