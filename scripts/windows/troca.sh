#!/usr/bin/env bash
# The file exchange on Windows: runs chequepdv.exe atende under Wine on a scratch folder given
# as a Windows path (Z:\ is the Linux root) whose name has a blank and an accent, plays the
# point of sale (scripts/pdv-troca.sh) against it from the Linux side, and then plays the same
# requests against the Linux service:
# ATV; a typed consultation by CHQ, its operator script approving it (009-000 = 0), then CNF;
# a refusal; a bad request refused while the service goes on answering ATV. Fails with one line
# per difference when the point of sale's exit statuses, the responses (byte for byte, as the
# journal keeps them, the date and time set aside) or the journal's states differ, or when
# either service does not answer.
#   CHEQUE_BUILD_DIR         the Linux build (default: build)
#   CHEQUE_WIN_BUILD_PREFIX  the Windows builds' prefix (default: build-); CHEQUE_WIN_ARCH win64
#   WINEPREFIX, CHEQUE_WINE  the Wine prefix and command (default: build-wine/prefix, wine)
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 2
raiz=$PWD
linux=$raiz/${CHEQUE_BUILD_DIR:-build}/bin/chequepdv
windows=$raiz/${CHEQUE_WIN_BUILD_PREFIX:-build-}${CHEQUE_WIN_ARCH:-win64}/bin/chequepdv.exe
wine=${CHEQUE_WINE:-wine}
export WINEPREFIX=${WINEPREFIX:-$raiz/build-wine/prefix} WINEDEBUG=${WINEDEBUG:--all}
for p in "$linux" "$windows"; do
  [ -x "$p" ] || [ -f "$p" ] || { echo "troca.sh: $p is missing (build it first)" >&2; exit 2; }
done
command -v sqlite3 >/dev/null || { echo "troca.sh: sqlite3 is needed to read the journals" >&2; exit 2; }

d=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$d"' EXIT

confirma='expect-form FrmRedes_Mnu
type 1
expect-form FrmCon_Con
click btConfirma'
aprova='[autorizacao]
1009-0 = 0
1027-0 = CHEQUE SEM RESTRIÇÕES
20033-0 = 0CHEQUE SEM RESTRIÇÕES@CONSULTA REALIZADA COM SUCESSO@'
recusa='[autorizacao]
1009-0 = 5
1027-0 = CHEQUE SUSTADO - NÃO ACEITAR CHEQUE DESTE CLIENTE'
cheque=(003-000=15000 006-000=F 007-000=52998224725 033-000=341 034-000=0123 036-000=456789
        037-000=1 038-000=000101 039-000=5 150-001=11 150-002=32345678)
printf '000-000 = CHQ\r\n001-000 = 77\r\n003-000=100\r\n999-999 = 0\r\n' >"$d/ruim"

# sessao LADO: one service run and the point of sale's requests against it; leaves
# LADO/saida (each request's exit status and printed response) and LADO/diario.
sessao() {
  local lado=$1 base=$d/$1 tef
  mkdir -p "$base/rot"
  printf '%s\n' "$confirma" >"$base/rot/10.script"
  printf '%s\n' "$confirma" >"$base/rot/11.script"
  printf '%s\n' "$aprova" | iconv -f UTF-8 -t CP1252 >"$base/cenario.ini"
  local opcoes=(--dir "$raiz/share/demo" --messages "$raiz/share/demo/mensagens.txt"
                --scenario "$base/cenario.ini" --scripts "$base/rot" --unmasked atende)
  # A shop's folder may be named with a blank and an accent; Wine is told that the names on the
  # Linux side are UTF-8 whatever the locale that runs this.
  tef="$base/tef São Paulo"
  if [ "$lado" = windows ]; then
    LC_ALL=C.UTF-8 "$wine" "$windows" "${opcoes[@]}" "Z:${tef//\//\\}" </dev/null >"$base/servico.log" 2>&1 &
  else
    "$linux" "${opcoes[@]}" "$tef" </dev/null >"$base/servico.log" 2>&1 &
  fi
  pid=$!
  local pdv=("$raiz/scripts/pdv-troca.sh" --wait 60)
  {
    # The first status waits for the service to be up (Wine's start is slow).
    for _ in $(seq 30); do "${pdv[@]}" --id 1 "$tef" ATV >/dev/null 2>&1 && break; done
    echo "ATV: $("${pdv[@]}" --id 2 "$tef" ATV 2>&1; echo " -> $?")"
    echo "CHQ: $("${pdv[@]}" --id 3 "$tef" CHQ "${cheque[@]}" 2>&1; echo " -> $?")"
    printf '%s\n' "$recusa" | iconv -f UTF-8 -t CP1252 >"$base/cenario.ini"
    echo "CHQ recusado: $("${pdv[@]}" --id 4 "$tef" CHQ "${cheque[@]}" 2>&1; echo " -> $?")"
    echo "ruim: $("${pdv[@]}" --raw "$d/ruim" "$tef" 2>&1 | grep -v '^02[23]-000'; echo " -> $?")"
    echo "ATV: $("${pdv[@]}" --id 5 "$tef" ATV 2>&1; echo " -> $?")"
  } | tr -d '\r' | grep -v '^02[23]-000 = ' >"$base/saida"
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=
  # The responses as the journal keeps them, CR LF and all; only the date and time differ.
  sqlite3 "$tef/troca.db" "SELECT id, estado, operacao, identificacao, resposta FROM transacao
      ORDER BY id" | sed 's/^\(02[23]-000 = \)[0-9]*/\1*/' \
    >"$base/diario" 2>&1
}

sessao windows
sessao linux
falhas=0
if ! grep -q '^ATV: ATV: status received$' "$d/windows/saida"; then
  echo "troca.sh: FAILED: chequepdv.exe atende did not answer ATV under Wine; it said:" >&2
  head -20 "$d/windows/servico.log" >&2
  exit 1
fi
if ! grep -q '^009-000 = 0$' "$d/linux/saida"; then
  echo "troca.sh: FAILED: the Linux service did not approve the consultation:" >&2
  cat "$d/linux/saida" >&2
  exit 1
fi
if ! cmp -s "$d/linux/saida" "$d/windows/saida"; then
  echo "troca.sh: FAILED: the point of sale got different responses from Linux and Windows:"
  diff "$d/linux/saida" "$d/windows/saida" | head -30
  falhas=1
fi
if ! cmp -s "$d/linux/diario" "$d/windows/diario"; then
  echo "troca.sh: FAILED: the journals differ (id|state|operation|point of sale|response):"
  diff "$d/linux/diario" "$d/windows/diario" | head -20
  falhas=1
fi
if [ $falhas -eq 0 ]; then
  echo "troca.sh: ok: ATV, CHQ approved and confirmed, CHQ refused, a bad request refused, ATV:" \
    "the same responses and journal from chequepdv.exe (${CHEQUE_WIN_ARCH:-win64}) under Wine as from Linux"
fi
exit $falhas
