#!/usr/bin/env bash
# Keeps the form layer walkable: fails when files of src/platform/ include each other directly or
# through others, when a control family's header includes a family above it, or when a header of
# the form layer reaches up into what observes it (operator/, the renderers).
# A family's body (.cpp) may include the families above its own: nothing includes a body, so it
# closes no cycle, and a control does tell its form and the application what changed.
#   scripts/check-includes.sh
set -euo pipefail
cd "$(dirname "$0")/../src"

# The control families, lowest first.
families=(forms/EditMask.h forms/Components.h forms/Controls.h forms/StdCtrls.h forms/Panels.h
  forms/Grids.h forms/Forms.h)
status=0

# "file included" pairs for every project include under platform/.
edges=$(find platform -name '*.h' -o -name '*.cpp' | sort | while IFS= read -r f; do
  sed -nE 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"(platform/[^"]+)".*|\1|p' "$f" |
    while IFS= read -r inc; do echo "$f $inc"; done
done)

if ! loop=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null); then
  echo "include cycle among these files:"
  printf '%s\n' "$loop" | grep -v 'input contains a loop' | sed 's/^tsort: /  /'
  status=1
fi

rank() {
  local i
  for i in "${!families[@]}"; do [ "platform/${families[$i]}" = "$1" ] && echo "$i" && return; done
  echo -1
}
for f in platform/forms/*.h; do
  r=$(rank "$f")
  if [ "$r" -lt 0 ]; then
    echo "$f: not in the list of families (scripts/check-includes.sh): place it"
    status=1
    continue
  fi
  while read -r from inc; do
    [ "$from" = "$f" ] || continue
    case $inc in
    platform/forms/*)
      if [ "$(rank "$inc")" -ge "$r" ]; then
        echo "$f includes $inc, a family at or above its own"
        status=1
      fi
      ;;
    platform/text/* | platform/system/*) ;;
    *)
      echo "$f includes $inc, above the form layer"
      status=1
      ;;
    esac
  done <<<"$edges"
done
[ $status -eq 0 ] && echo "form layer includes: layered, no cycle"
exit $status
