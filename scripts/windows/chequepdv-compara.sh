#!/usr/bin/env bash
# Stands in for chequepdv in the end-to-end tests (CHEQUE_E2E_PDV): runs the Linux program with
# the test's arguments, as the test expects; when that was a scripted session that went through
# (exit 0), plays it again with the Windows program under Wine on a copy of the transaction file,
# and fails the run (exit 97) when the two saved transaction files or exit statuses differ.
# Runs about the host program's own checks (bad arguments, files, another --module) are the
# Linux program's alone.
#   CHEQUE_PDV_LINUX  the Linux chequepdv        CHEQUE_PDV_WINDOWS  chequepdv.exe
#   CHEQUE_WINE       the Wine command (wine)
set -uo pipefail
linux=${CHEQUE_PDV_LINUX:?}
windows=${CHEQUE_PDV_WINDOWS:?}
wine=${CHEQUE_WINE:-wine}

args=("$@")
winargs=()
store=
script=
for ((i = 0; i < ${#args[@]}; i++)); do
  a=${args[i]}
  case $a in
  --store | --transcript | --audit)
    v=${args[i + 1]:-}
    [ "$a" = --store ] && store=$v
    winargs+=("$a" "$v.windows")
    i=$((i + 1))
    ;;
  --pictures)
    i=$((i + 1)) # drawn by the Linux run only
    ;;
  --module) exec "$linux" "$@" ;;
  --script)
    script=${args[i + 1]:-}
    winargs+=("$a" "$script")
    i=$((i + 1))
    ;;
  *) winargs+=("$a") ;;
  esac
done
[ -n "$script" ] || exec "$linux" "$@"
[ -n "$store" ] || store=transacao.txt
copia=0
if [ -f "$store" ]; then cp "$store" "$store.windows" 2>/dev/null || copia=1; else rm -f "$store.windows"; fi

"$linux" "$@"
rc=$?
# A disk that is full on purpose has no room for the copy either.
[ $rc -eq 0 ] && [ $copia -eq 0 ] || exit $rc

out=$(mktemp)
"$wine" "$windows" "${winargs[@]}" </dev/null >"$out" 2>&1
wrc=$?

erro=
if [ $rc -ne $wrc ]; then
  erro="exit status: Linux $rc, Windows $wrc"
elif [ -f "$store" ] && ! cmp -s "$store" "$store.windows"; then
  erro="the transaction files differ:
$(diff "$store" "$store.windows" | head -20)"
elif [ ! -f "$store" ] && [ -f "$store.windows" ]; then
  erro="only the Windows run saved the transaction file"
elif [ -f "$store" ] && [ ! -f "$store.windows" ]; then
  erro="only the Linux run saved the transaction file"
fi
if [ -n "$erro" ]; then
  {
    echo "chequepdv-compara: Linux and Windows differ: $erro"
    echo "--- the Windows run said:"
    head -40 "$out"
  } >&2
  rm -f "$out"
  exit 97
fi
rm -f "$out"
exit $rc
