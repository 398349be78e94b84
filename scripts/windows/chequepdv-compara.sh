#!/usr/bin/env bash
# Stands in for chequepdv in the end-to-end tests (CHEQUE_E2E_PDV): runs the Linux program with
# the test's arguments, as the test expects; when that was a scripted session that went through
# (exit 0), plays it again with the Windows program under Wine on a copy of the transaction file,
# and fails the run (exit 97) when the two saved transaction files or exit statuses differ twice
# (a session that differed once and agreed when played again is listed in CHEQUE_COMPARA_RELATO).
# Runs about the host program's own checks (bad arguments, files, another --module) are the
# Linux program's alone.
#   CHEQUE_PDV_LINUX  the Linux chequepdv        CHEQUE_PDV_WINDOWS  chequepdv.exe
#   CHEQUE_WINE       the Wine command (wine)
#   CHEQUE_COMPARA_RELATO  a file to which sessions that differed only once are appended
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
antes=$(mktemp) # the transaction file as it was, for a second Windows run
tinha=0
copia=0
if [ -f "$store" ]; then
  tinha=1
  { cp "$store" "$store.windows" && cp "$store" "$antes"; } 2>/dev/null || copia=1
else
  rm -f "$store.windows"
fi

"$linux" "$@"
rc=$?
# A disk that is full on purpose has no room for the copy either.
if [ $rc -ne 0 ] || [ $copia -ne 0 ]; then
  rm -f "$antes"
  exit $rc
fi

out=$(mktemp)
# Plays the session under Wine on STORE.windows, and says in `erro` how the two runs differ
# (empty when they agree).
joga_windows() {
  "$wine" "$windows" "${winargs[@]}" </dev/null >"$out" 2>&1
  local wrc=$?
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
}

joga_windows
if [ -n "$erro" ]; then
  # Played once more before failing: one session once differed in a whole run and never again
  # in hundreds of replays, which points at the emulation rather than the program. A second
  # difference fails the run; a first one is kept in CHEQUE_COMPARA_RELATO, which the suite
  # prints, so that it is seen all the same.
  primeiro=$erro
  primeira_saida=$(head -40 "$out")
  if [ $tinha -eq 1 ]; then cp "$antes" "$store.windows"; else rm -f "$store.windows"; fi
  joga_windows
  if [ -z "$erro" ] && [ -n "${CHEQUE_COMPARA_RELATO:-}" ]; then
    {
      echo "chequepdv-compara: $script: the first Windows run differed ($primeiro); the second agreed"
      echo "$primeira_saida" | sed 's/^/    /'
    } >>"$CHEQUE_COMPARA_RELATO"
  fi
fi
rm -f "$antes"
if [ -n "$erro" ]; then
  {
    echo "chequepdv-compara: Linux and Windows differ, twice: $primeiro / $erro"
    echo "--- the Windows run said:"
    head -40 "$out"
  } >&2
  rm -f "$out"
  exit 97
fi
rm -f "$out"
exit $rc
