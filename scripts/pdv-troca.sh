#!/usr/bin/env bash
# The point of sale's side of the file exchange, as a shop's point-of-sale program plays it
# against `chequepdv atende DIR` (docs/troca.md):
#   scripts/pdv-troca.sh [options] DIR OPERATION [AAA-BBB=VALUE ...]
#   scripts/pdv-troca.sh [options] --raw FILE DIR
# writes the request under another name in DIR/req and renames it to IntPos.001, waits 7
# seconds for DIR/resp/IntPos.Sts echoing its 001-000 (else takes the request back and says
# the EFT client does not answer, status 2), then, except for ATV, CNF and NCN, waits for
# DIR/resp/IntPos.001, checks it (its 000-000 and 001-000, whole up to `999-999 = 0`), prints
# it, deletes it, and confirms it with CNF when its 729-000 asks (--no-confirm leaves it
# pending, --undo sends NCN). Exit status: 0 approved (009-000 = 0) or status-only operation,
# 1 refused, 2 no status in time, 3 a response that is not whole or not the request's, 4 usage.
# Options: --id N (001-000, default from the clock), --wait S (how long to wait for the
# response, default without limit), --raw FILE (send FILE's bytes as the request).
set -uo pipefail
id="" wait_resp="" raw="" confirm=cnf
while [ $# -gt 0 ]; do
  case "$1" in
  --id) id="$2"; shift 2 ;;
  --wait) wait_resp="$2"; shift 2 ;;
  --raw) raw="$2"; shift 2 ;;
  --no-confirm) confirm=""; shift ;;
  --undo) confirm=ncn; shift ;;
  *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: $0 [options] DIR OPERATION [AAA-BBB=VALUE ...]" >&2; exit 4; }
dir="$1"; shift
op="${1:-}"; [ -n "$op" ] && shift
[ -n "$op" ] || [ -n "$raw" ] || { echo "pdv-troca: no operation" >&2; exit 4; }
[ -n "$id" ] || id=$(( $(date +%s%N) / 1000 % 10000000000 ))

# The file named $2 in folder $1 whatever its case, or nothing.
find_ci() { find "$1" -maxdepth 1 -type f -iname "$2" -print -quit 2>/dev/null; }
field() { sed -n "s/^$1 = \(.*\)\$/\1/p" <<<"$2" | head -n1; }

# send OP [fields...]: the request file, written whole under another name and renamed.
send() {
  local o="$1" tmp="$dir/req/IntPos.$$.tmp"; shift
  mkdir -p "$dir/req"
  {
    printf '000-000 = %s\r\n001-000 = %s\r\n' "$o" "$id"
    for f in "$@"; do printf '%s = %s\r\n' "${f%%=*}" "${f#*=}"; done
    printf '999-999 = 0\r\n'
  } >"$tmp"
  mv -f "$tmp" "$dir/req/IntPos.001"
}

# The status that echoes our 001-000, within 7 seconds; else the request is taken back.
status() {
  local deadline=$((SECONDS + 7)) f s
  while [ $SECONDS -lt $deadline ]; do
    f=$(find_ci "$dir/resp" intpos.sts)
    if [ -n "$f" ]; then
      s=$(tr -d '\r' <"$f" 2>/dev/null)
      if [ "$(field 001-000 "$s")" = "$id" ] && grep -qx '999-999 = 0' <<<"$s"; then
        rm -f "$f"
        return 0
      fi
    fi
    sleep 0.02
  done
  rm -f "$(find_ci "$dir/req" intpos.001)"
  echo "pdv-troca: the EFT client does not answer (no status in 7 s)" >&2
  return 1
}

# The response for our 001-000, whole, then deleted; printed on standard output.
response() {
  local start=$SECONDS f r
  while :; do
    f=$(find_ci "$dir/resp" intpos.001)
    if [ -n "$f" ]; then
      r=$(tr -d '\r' <"$f")
      if [ "$(tail -n1 <<<"$r")" != "999-999 = 0" ]; then
        echo "pdv-troca: $f is not whole" >&2
        return 3
      fi
      if [ "$(field 001-000 "$r")" = "$id" ]; then
        rm -f "$f"
        if [ -n "$op" ] && [ "$(field 000-000 "$r")" != "$op" ]; then
          echo "pdv-troca: the response is for $(field 000-000 "$r"), not $op" >&2
          printf '%s\n' "$r"
          return 3
        fi
        printf '%s\n' "$r"
        resp="$r"
        return 0
      fi
    fi
    if [ -n "$wait_resp" ] && [ $((SECONDS - start)) -ge "$wait_resp" ]; then
      echo "pdv-troca: no response in $wait_resp s" >&2
      return 3
    fi
    sleep 0.02
  done
}

if [ -n "$raw" ]; then
  mkdir -p "$dir/req"
  cp "$raw" "$dir/req/IntPos.$$.tmp" && mv -f "$dir/req/IntPos.$$.tmp" "$dir/req/IntPos.001"
  id=$(tr -d '\r' <"$raw" | sed -n 's/^001-000 = \(.*\)$/\1/p' | head -n1)
  op=$(tr -d '\r' <"$raw" | sed -n '1s/^000-000 = \(.*\)$/\1/p')
else
  send "$op" "$@"
fi
status || exit 2
case "$op" in ATV | CNF | NCN) echo "$op: status received"; exit 0 ;; esac
resp=""
response || exit $?
if [ "$(field 729-000 "$resp")" = 2 ] && [ -n "$confirm" ]; then
  op=${confirm^^}
  send "$op" "027-000=$(field 027-000 "$resp")"
  status || exit 2
  echo "$op: status received"
fi
[ "$(field 009-000 "$resp")" = 0 ]
