#!/usr/bin/env bash
# The Windows build's checks: cross-builds cheque.dll for 64 and 32 bits (scripts/build-windows.sh),
# runs clang-tidy on the Windows-only sources (scripts/lint.sh --windows), runs the end-to-end
# suite with every scripted session also played by chequepdv.exe under Wine and the saved
# transaction files compared with the Linux run's (64-bit; 32-bit as well when wine32 is
# installed: scripts/deps-windows.sh --wine32), drives the example point of sale in C through
# every export that opens a screen, plays the file exchange against chequepdv.exe atende
# (scripts/windows/troca.sh), and opens the network menu as a real window under Xvfb for a
# screenshot. Prints the time of each stage.
#   CHEQUE_BUILD_DIR         the Linux build to compare with (default: build)
#   CHEQUE_WIN_BUILD_PREFIX  the Windows builds' prefix (default: build-, as build-windows.sh)
# The CPU-cost test is left out there: it would measure Wine as well.
set -euo pipefail
cd "$(dirname "$0")/.."
inicio=$SECONDS
etapa() { echo "== stage: $1: $((SECONDS - t)) s"; }

prefixo=${CHEQUE_WIN_BUILD_PREFIX:-build-}
t=$SECONDS
scripts/build-windows.sh
etapa "cross builds (win64, win32)"

# The Windows-only sources, which the Linux static analysis cannot see.
t=$SECONDS
CHEQUE_WIN_BUILD_PREFIX=$prefixo scripts/lint.sh --windows
etapa "static analysis of the Windows-only sources"

t=$SECONDS
linux=${CHEQUE_BUILD_DIR:-build}
[ -f "$linux/build.ninja" ] || cmake -S . -B "$linux" -G Ninja -DCHEQUE_BENCH=OFF >/dev/null
cmake --build "$linux" --parallel "${CHEQUE_JOBS:-2}" --target test_e2e chequepdv cheque
etapa "Linux build of the end-to-end suite"

export WINEPREFIX=${WINEPREFIX:-$PWD/build-wine/prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$WINEPREFIX")"
t=$SECONDS
wineboot -i >/dev/null 2>&1 || true
# One server for every run: a Windows program then starts in a fraction of a second.
wineserver -p 600 2>/dev/null || true
etapa "Wine prefix"

wine=${CHEQUE_WINE:-wine}
wine32=0 # whether the 32-bit sessions can run
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then wine32=1; fi
falhas=0
for arq in win64 win32; do
  if [ $arq = win32 ] && [ $wine32 -eq 0 ]; then
    echo "== 32-bit sessions skipped: wine32 is not installed (scripts/deps-windows.sh --wine32)"
    continue
  fi
  t=$SECONDS
  # Left out: a timing, the benchmarks (no session in them), and the three saves racing for one
  # file, whose winner may differ between the Linux and the Windows run by design (each run's own
  # checks are the test's).
  relato=$(dirname "$WINEPREFIX")/compara-$arq.txt
  rm -f "$relato"
  if ! CHEQUE_E2E_PDV="$PWD/scripts/windows/chequepdv-compara.sh" CHEQUE_COMPARA_RELATO="$relato" \
    CHEQUE_PDV_LINUX="$PWD/$linux/bin/chequepdv" CHEQUE_PDV_WINDOWS="$PWD/$prefixo$arq/bin/chequepdv.exe" \
    "$linux/bin/test_e2e" --gtest_brief=1 --gtest_filter=-*.ConsultationCostsLittleCpu:*.DocumentedBenchmarksRunAsShown:*.ConcurrentSavesOfOneFileAllSucceed; then
    falhas=$((falhas + 1))
  fi
  if [ -s "$relato" ]; then
    echo "== sessions that differed under Wine once and agreed when played again ($arq):"
    cat "$relato"
  fi
  etapa "end-to-end sessions, Linux against $arq under Wine"
  t=$SECONDS
  CHEQUE_BUILD_DIR=$linux CHEQUE_WIN_BUILD_PREFIX=$prefixo CHEQUE_WIN_ARCH=$arq CHEQUE_WINE=$wine \
    scripts/windows/troca.sh || falhas=$((falhas + 1))
  etapa "file exchange, Linux against $arq under Wine"
done

# The example point of sale in C, cross-built, through each export that opens a screen: played
# by a short operator script named by CHEQUE_ROTEIRO (its transcript must hold no script
# failure), and with the point of sale closing (its WM_QUIT posted while the first screen waits:
# the call must come back). One line per case: the example's arguments | the script's lines
# (@FILE for a file, "fecha" for the closing case) | a line the output must hold | "salva" when
# the store must be saved (the sale's and the pre-authorisation's message box save nothing).
# The 32-bit point of sale, which links the host contract's decorated standard-call names, plays
# the first case only.
t=$SECONDS
casos=(
  "consulta 15000|@examples/consulta.script|1009 = 0|salva"
  "consulta 15000|fecha|ExecutaConsultaCheque(0) returned|salva"
  "adm 1|expect-form FrmGarVenez_Cnc\nwait 1500\nclick btRetorna|ExecutaFuncaoADM(1) returned|salva"
  "adm 1|fecha|ExecutaFuncaoADM(1) returned|salva"
  "adm 6|expect-form FrmCancGarantia_Mod\nclick btRetorna|ExecutaFuncaoADM(6) returned|salva"
  "adm 6|fecha|ExecutaFuncaoADM(6) returned|salva"
  "generico 11|expect-msgbox Dados do estabelecimento incompletos (campo 1051).\nok|1009 = FF|salva"
  "generico 11|fecha|ExecutaGenerico(11) returned|salva"
  "venda|expect-msgbox Operação não disponível no módulo de cheques.\nok|ExecutaVenda(0) returned|"
  "venda|fecha|ExecutaVenda(0) returned|"
  "pre|expect-msgbox Operação não disponível no módulo de cheques.\nok|ExecutaPreAutorizacao(0) returned|"
  "pre|fecha|ExecutaPreAutorizacao(0) returned|"
)
exemplo() { # BUILD CASE
  local win=$1 argumentos roteiro espera salva d vars opcoes nome erro
  IFS='|' read -r argumentos roteiro espera salva <<<"$2"
  d=$(mktemp -d)
  vars=(CHEQUE_DIR="$PWD/share/demo")
  opcoes=()
  if [ "$roteiro" = fecha ]; then
    nome="pdv_exemplo ${win#"$prefixo"} $argumentos, closing while a screen waits"
    opcoes=(--fecha 1500)
  else
    nome="pdv_exemplo ${win#"$prefixo"} $argumentos, operator script"
    if [ "${roteiro:0:1}" = @ ]; then cp "${roteiro:1}" "$d/caso.script"; else printf '%b\n' "$roteiro" >"$d/caso.script"; fi
    vars+=(CHEQUE_ROTEIRO=caso.script CHEQUE_TRANSCRICAO=t.jsonl)
  fi
  # shellcheck disable=SC2086 # the arguments are words
  (cd "$d" && env "${vars[@]}" timeout 60 $wine "$OLDPWD/$win/bin/pdv_exemplo.exe" "${opcoes[@]}" \
    $argumentos) 2>&1 | tr -d '\r' >"$d/saida.txt"
  erro=
  grep -qxF "$espera" "$d/saida.txt" || erro="its output has no line \"$espera\""
  [ -z "$salva" ] || [ -f "$d/transacao.txt" ] || erro="the store was not saved"
  if [ "$roteiro" != fecha ] && { [ ! -f "$d/t.jsonl" ] || grep -q '"ev":"script_failure"' "$d/t.jsonl"; }; then
    erro="the script did not play through: $(grep -o '"message":"[^"]*' "$d/t.jsonl" 2>/dev/null | head -1)"
  fi
  if [ -n "$erro" ]; then
    echo "== FAILED: $nome: $erro"
    sed 's/^/   | /' "$d/saida.txt" | head -20
    falhas=$((falhas + 1))
  else
    echo "== ok: $nome"
  fi
  rm -rf "$d"
}
cmake --build "${prefixo}win64" --parallel "${CHEQUE_JOBS:-2}" --target pdv_exemplo >/dev/null
for caso in "${casos[@]}"; do exemplo "${prefixo}win64" "$caso"; done
if [ $wine32 -eq 1 ]; then
  cmake --build "${prefixo}win32" --parallel "${CHEQUE_JOBS:-2}" --target pdv_exemplo >/dev/null
  exemplo "${prefixo}win32" "${casos[0]}"
fi
etapa "example point of sale under Wine"

t=$SECONDS
scripts/windows/screenshot.sh "$(dirname "$WINEPREFIX")/menu.png" "${prefixo}win64" || falhas=$((falhas + 1))
etapa "screenshot under Xvfb"
wineserver -k 2>/dev/null || true

echo "== Windows checks: $((SECONDS - inicio)) s"
[ $falhas -eq 0 ]
