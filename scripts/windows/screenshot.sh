#!/usr/bin/env bash
# Opens the module's network menu as a real window under Xvfb (chequepdv.exe without a script,
# under Wine) and takes a picture of the screen: scripts/windows/screenshot.sh OUT.png [BUILD_DIR]
# Fails when the picture shows nothing but the empty screen.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=${1:?usage: screenshot.sh OUT.png [BUILD_DIR]}
bin=${2:-build-win64}/bin
export WINEDEBUG=-all LANG=pt_BR.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$(dirname "$out")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A Wine server started by headless runs (the scripted sessions) keeps a desktop with no display:
# the window must be made by a server that starts under Xvfb.
wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  set -u
  wine "$1/chequepdv.exe" --dir share/demo --messages share/demo/mensagens.txt \
    --scenario share/demo/cenario.ini --store "$2/transacao.txt" consulta </dev/null >"$2/saida.txt" 2>&1 &
  for i in $(seq 1 60); do
    sleep 1
    import -window root "$2/tela.png" 2>/dev/null || continue
    # The menu is up when the screen has more than a couple of colours.
    [ "$(convert "$2/tela.png" -format %k info:)" -gt 8 ] && break
  done
  sleep 1
  import -window root "$3"
  wineserver -k 2>/dev/null || true
' _ "$PWD/$bin" "$work" "$out"
colours=$(convert "$out" -format %k info:)
if [ "$colours" -le 8 ]; then
  echo "screenshot.sh: the screen stayed empty ($colours colours)" >&2
  exit 1
fi
echo "screenshot: $out ($colours colours)"
